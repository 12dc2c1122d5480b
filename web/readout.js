// The value window under a knob, and typing a value into it: double-click
// the window, or press Enter on the knob. Enter or leaving the field applies
// the value as one change; Escape leaves it as it was.
(function () {
  'use strict';

  var vo = window.vo = window.vo || {};

  vo.readout_attach = function (el, edit, knob_el) {
    var index = edit.index;
    var main = document.createElement('span');
    main.className = 'readout-main';
    el.appendChild(main);
    var sub = null;
    if (index === vo.PARAM_VOLUME) {
      sub = document.createElement('span');
      sub.className = 'readout-sub';
      el.appendChild(sub);
    }
    var field = null;

    function render(value) {
      main.textContent = vo.format_value(index, value);
      if (sub) sub.textContent = vo.format_db(vo.volume_gain_db(value));
    }
    edit.on_change.push(render);
    render(edit.value);

    function close(apply) {
      if (!field) return;
      var typed = field.value;
      var closing = field;
      field = null;
      closing.remove();
      el.classList.remove('is-editing');
      knob_el.focus();
      if (!apply) return;
      var value = vo.parse_entry(index, typed);
      if (value !== null && isFinite(value)) vo.param_edit_jump(edit, value);
    }

    function open() {
      if (field || edit.gesture_open) return;
      field = document.createElement('input');
      field.type = 'text';
      field.className = 'readout-entry';
      field.setAttribute('aria-label', vo.param_table[index].name + ' value');
      field.setAttribute('spellcheck', 'false');
      field.setAttribute('autocomplete', 'off');
      field.value = edit.value.toFixed(1);
      el.classList.add('is-editing');
      el.appendChild(field);
      field.addEventListener('keydown', function (event) {
        if (event.key === 'Enter') { event.preventDefault(); close(true); }
        else if (event.key === 'Escape') { event.preventDefault(); close(false); }
        event.stopPropagation();
      });
      field.addEventListener('blur', function () { close(true); });
      field.focus();
      field.select();
    }

    el.addEventListener('dblclick', function (event) {
      event.preventDefault();
      open();
    });

    return { open: open };
  };
})();
