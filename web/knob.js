// A rotary control drawn in SVG, so it stays sharp at any pixel ratio and
// size. Vertical drag (Shift for fine), wheel, keys and double-click reset;
// every change goes through the parameter's edit gestures.
(function () {
  'use strict';

  var vo = window.vo = window.vo || {};

  var SVG_NS = 'http://www.w3.org/2000/svg';
  var SWEEP = 270;                 // degrees from minimum to maximum
  var DRAG_PX = 240;               // pointer travel for the full range
  var FINE_FACTOR = 10;            // Shift makes a drag this much finer
  var WHEEL_PX = 100;              // one mouse-wheel notch is one step
  var WHEEL_IDLE_MS = 350;         // a pause this long ends a wheel gesture
  var GROOVE_R = 50;

  function svg(name, attrs, parent) {
    var node = document.createElementNS(SVG_NS, name);
    for (var key in attrs) node.setAttribute(key, attrs[key]);
    if (parent) parent.appendChild(node);
    return node;
  }

  function polar(angle_deg, r) {
    var a = angle_deg * Math.PI / 180;
    return (60 + r * Math.sin(a)).toFixed(3) + ' ' + (60 - r * Math.cos(a)).toFixed(3);
  }

  function arc_path(from_deg, to_deg, r) {
    if (Math.abs(to_deg - from_deg) < 0.01) return '';
    var lo = Math.min(from_deg, to_deg), hi = Math.max(from_deg, to_deg);
    var large = hi - lo > 180 ? 1 : 0;
    return 'M ' + polar(lo, r) + ' A ' + r + ' ' + r + ' 0 ' + large + ' 1 ' + polar(hi, r);
  }

  function angle_of(index, value) {
    return -SWEEP / 2 + SWEEP * vo.param_normalized(index, value);
  }

  // The lit arc starts where the control does nothing: at the minimum, and
  // for Volume at unity gain, so boost and cut read at a glance.
  function arc_origin(index) {
    return index === vo.PARAM_VOLUME ? 0 : -SWEEP / 2;
  }

  function draw(el) {
    var root = svg('svg', { viewBox: '0 0 120 120', 'aria-hidden': 'true', focusable: 'false' });
    for (var t = 0; t <= 10; t++) {
      var a = -SWEEP / 2 + SWEEP * t / 10;
      var major = t === 0 || t === 5 || t === 10;
      svg('path', { d: 'M ' + polar(a, major ? 53.5 : 54.5) + ' L ' + polar(a, 58.5),
        class: major ? 'knob-tick knob-tick-major' : 'knob-tick' }, root);
    }
    svg('path', { d: arc_path(-SWEEP / 2, SWEEP / 2, GROOVE_R), class: 'knob-groove' }, root);
    var lit = svg('path', { class: 'knob-arc' }, root);
    svg('circle', { cx: 60, cy: 62.5, r: 43, class: 'knob-shadow' }, root);
    svg('circle', { cx: 60, cy: 60, r: 43, fill: 'url(#knob-skirt)' }, root);
    // The knurled skirt and the pointer turn; the light on the cap does not.
    var skirt = svg('g', {}, root);
    svg('circle', { cx: 60, cy: 60, r: 41.5, class: 'knob-knurl' }, skirt);
    svg('circle', { cx: 60, cy: 60, r: 34, fill: 'url(#knob-cap)', class: 'knob-cap' }, root);
    svg('circle', { cx: 60, cy: 60, r: 34, fill: 'url(#knob-sheen)' }, root);
    var pointer = svg('g', {}, root);
    svg('line', { x1: 60, y1: 46, x2: 60, y2: 29, class: 'knob-pointer' }, pointer);
    svg('circle', { cx: 60, cy: 21.5, r: 2.2, class: 'knob-dot' }, pointer);
    el.appendChild(root);
    return { lit: lit, turning: [skirt, pointer] };
  }

  function snap_step(value, step, direction) {
    var units = value / step;
    var n = direction > 0 ? Math.floor(units + 1e-3) + 1 : Math.ceil(units - 1e-3) - 1;
    return n * step;
  }

  vo.knob_attach = function (el, edit, on_enter) {
    var index = edit.index;
    var desc = vo.param_table[index];
    var parts = draw(el);
    var drag = null;
    var wheel_timer = 0;

    el.setAttribute('role', 'slider');
    el.setAttribute('tabindex', '0');
    el.setAttribute('aria-valuemin', String(desc.min));
    el.setAttribute('aria-valuemax', String(desc.max));

    function render(value) {
      var angle = angle_of(index, value);
      var rotation = 'rotate(' + angle.toFixed(3) + ' 60 60)';
      parts.turning.forEach(function (group) { group.setAttribute('transform', rotation); });
      parts.lit.setAttribute('d', arc_path(arc_origin(index), angle, GROOVE_R));
      el.setAttribute('aria-valuenow', String(value));
      el.setAttribute('aria-valuetext', vo.value_text(index, value));
    }
    edit.on_change.push(render);
    render(edit.value);

    function anchor(event) {
      drag = { id: event.pointerId, y: event.clientY, value: edit.value, fine: event.shiftKey };
    }

    el.addEventListener('pointerdown', function (event) {
      if (event.button !== 0 || drag || wheel_timer) return;
      event.preventDefault();
      el.focus();
      el.setPointerCapture(event.pointerId);
      anchor(event);
      vo.param_edit_open(edit);
      el.classList.add('is-dragging');
    });

    el.addEventListener('pointermove', function (event) {
      if (!drag || event.pointerId !== drag.id) return;
      // Pressing or releasing Shift mid-drag changes the scale from here on,
      // without a jump.
      if (event.shiftKey !== drag.fine) anchor(event);
      var px = drag.fine ? DRAG_PX * FINE_FACTOR : DRAG_PX;
      var raw = drag.value + (drag.y - event.clientY) / px * (desc.max - desc.min);
      vo.param_edit_move(edit, raw);
      // Past either end, re-anchor so that turning back responds at once.
      if (raw < desc.min || raw > desc.max) anchor(event);
    });

    function end_drag(event) {
      if (!drag || event.pointerId !== drag.id) return;
      drag = null;
      el.classList.remove('is-dragging');
      vo.param_edit_close(edit);
    }
    el.addEventListener('pointerup', end_drag);
    el.addEventListener('pointercancel', end_drag);
    el.addEventListener('lostpointercapture', end_drag);

    el.addEventListener('dblclick', function (event) {
      event.preventDefault();
      vo.param_edit_jump(edit, desc.def);
    });

    el.addEventListener('wheel', function (event) {
      event.preventDefault();
      if (drag) return;
      // Shift turns a vertical wheel into a horizontal one on some systems.
      var delta = event.deltaY || event.deltaX;
      if (event.deltaMode === 1) delta *= 40;
      else if (event.deltaMode === 2) delta *= 800;
      if (!delta) return;
      if (!wheel_timer) vo.param_edit_open(edit);
      clearTimeout(wheel_timer);
      var step = event.shiftKey ? desc.step / FINE_FACTOR : desc.step;
      vo.param_edit_move(edit, edit.value - delta / WHEEL_PX * step);
      wheel_timer = setTimeout(function () {
        wheel_timer = 0;
        vo.param_edit_close(edit);
      }, WHEEL_IDLE_MS);
    }, { passive: false });

    el.addEventListener('keydown', function (event) {
      var step = event.shiftKey ? desc.step / FINE_FACTOR : desc.step;
      var target;
      switch (event.key) {
        case 'ArrowUp': case 'ArrowRight': target = snap_step(edit.value, step, 1); break;
        case 'ArrowDown': case 'ArrowLeft': target = snap_step(edit.value, step, -1); break;
        case 'PageUp': target = snap_step(edit.value, desc.page_step, 1); break;
        case 'PageDown': target = snap_step(edit.value, desc.page_step, -1); break;
        case 'Home': target = desc.min; break;
        case 'End': target = desc.max; break;
        case 'Delete': case 'Backspace': target = desc.def; break;
        case 'Enter': event.preventDefault(); on_enter(); return;
        default: return;
      }
      event.preventDefault();
      vo.param_edit_jump(edit, target);
    });
  };
})();
