// One parameter's value on the page and the edit gestures the host sees.
// A gesture is framed as "b" with its first changed value, "s" for every
// further change and "e" with the last value, so the host records one undo
// step and one automation touch. While a gesture is open the page's own value
// is the truth: host echoes of that parameter arrive late and would make the
// control jump back under the user's hand, so they are not shown.
(function () {
  'use strict';

  var vo = window.vo = window.vo || {};

  vo.param_edit_create = function (index) {
    return {
      index: index,
      value: vo.param_table[index].def,
      gesture_open: false,
      gesture_begun: false,
      on_change: []
    };
  };

  function show(edit, value) {
    edit.value = value;
    for (var i = 0; i < edit.on_change.length; i++) edit.on_change[i](value);
  }

  vo.param_edit_from_host = function (edit, value) {
    if (edit.gesture_open) return;
    if (Number.isNaN(value)) {
      // The engine treats a NaN Bypass as not bypassed; a NaN level means nothing.
      if (!vo.param_table[edit.index].toggled) return;
      value = 0;
    }
    show(edit, vo.param_clamp(edit.index, value));
  };

  vo.param_edit_open = function (edit) {
    edit.gesture_open = true;
    edit.gesture_begun = false;
  };

  // Nothing is sent until the value really changes: a click that does not
  // move a knob leaves no empty gesture in the host's undo history.
  vo.param_edit_move = function (edit, value) {
    value = vo.param_clamp(edit.index, value);
    if (value === edit.value) return;
    vo.post(vo.edit_message(edit.gesture_begun ? 's' : 'b', edit.index, value));
    edit.gesture_begun = true;
    show(edit, value);
  };

  vo.param_edit_close = function (edit) {
    if (!edit.gesture_open) return;
    if (edit.gesture_begun) vo.post(vo.edit_message('e', edit.index, edit.value));
    edit.gesture_open = false;
    edit.gesture_begun = false;
  };

  // A click, a key step, a reset or a typed entry: one change, "b" then "e".
  vo.param_edit_jump = function (edit, value) {
    if (edit.gesture_open) return;
    value = vo.param_clamp(edit.index, value);
    if (value === edit.value) return;
    vo.post(vo.edit_message('b', edit.index, value));
    vo.post(vo.edit_message('e', edit.index, value));
    show(edit, value);
  };
})();
