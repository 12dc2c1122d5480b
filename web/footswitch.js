// The Bypass footswitch and its lamp. The parameter counts bypass (1 =
// bypassed); the lamp shows what a player looks for, the effect being on.
(function () {
  'use strict';

  var vo = window.vo = window.vo || {};

  vo.footswitch_attach = function (el, lamp_el, state_el, edit) {
    el.setAttribute('role', 'switch');
    el.setAttribute('tabindex', '0');

    function render(value) {
      var bypassed = value >= 0.5;
      el.setAttribute('aria-checked', bypassed ? 'true' : 'false');
      el.classList.toggle('is-bypassed', bypassed);
      lamp_el.classList.toggle('is-lit', !bypassed);
      state_el.textContent = bypassed ? 'Bypassed' : 'Effect on';
    }
    edit.on_change.push(render);
    render(edit.value);

    function toggle() {
      vo.param_edit_jump(edit, edit.value >= 0.5 ? 0 : 1);
    }

    el.addEventListener('click', toggle);
    el.addEventListener('dblclick', function (event) { event.preventDefault(); });
    el.addEventListener('keydown', function (event) {
      if (event.key !== ' ' && event.key !== 'Enter') return;
      event.preventDefault();
      if (!event.repeat) toggle();
    });
    // A press shows as travel of the switch, as on the real thing.
    el.addEventListener('pointerdown', function () { el.classList.add('is-pressed'); });
    ['pointerup', 'pointerleave', 'pointercancel'].forEach(function (type) {
      el.addEventListener(type, function () { el.classList.remove('is-pressed'); });
    });
  };
})();
