// The six parameters as the page knows them: the index order the plug-in
// uses everywhere, plain ranges and defaults, key steps, and how each value
// reads. Every value the page shows or sends is a plain value in these units.
(function () {
  'use strict';

  var vo = window.vo = window.vo || {};

  vo.PARAM_VOLUME = 4;
  vo.PARAM_BYPASS = 5;

  vo.param_table = [
    { name: 'Drive', min: 0, max: 100, def: 50, step: 1, page_step: 10 },
    { name: 'Tone', min: 0, max: 100, def: 50, step: 1, page_step: 10 },
    { name: 'Heat', min: 0, max: 100, def: 50, step: 1, page_step: 10 },
    { name: 'Mix', min: 0, max: 100, def: 100, step: 1, page_step: 10 },
    { name: 'Volume', min: 0, max: 200, def: 100, step: 1, page_step: 10 },
    { name: 'Bypass', min: 0, max: 1, def: 0, toggled: true }
  ];

  // Everything sent is a 32-bit float, so the page holds exactly the value the
  // plug-in will store; a toggle is 0 or 1 and nothing in between.
  vo.param_clamp = function (index, x) {
    var desc = vo.param_table[index];
    if (desc.toggled) return x >= 0.5 ? 1 : 0;
    if (!(x > desc.min)) return desc.min;
    if (x > desc.max) return desc.max;
    return Math.fround(x);
  };

  vo.param_normalized = function (index, x) {
    var desc = vo.param_table[index];
    return (x - desc.min) / (desc.max - desc.min);
  };

  // The output gain of the Volume law, in single precision as the engine runs
  // it: 10^(1.2 (v - 1)) above a tenth of full scale, a steep reciprocal fall
  // below, and silence under 0.001. The engine's input gain of 4 and its 0.25
  // cancel, so the gain is the power of two alone.
  vo.volume_gain_db = function (x) {
    var f = Math.fround;
    var v = f(f(x) * f(0.01));
    if (v < f(0.001)) return -Infinity;
    var c = v < f(0.1) ? f(f(f(1) / v) * f(0.01)) + f(0.8) : f(1 - v);
    var e = f(f(c * f(-1.2)) * f(3.321928));
    return e * 20 * Math.LOG10E * Math.LN2;
  };

  // Inverse of the law above, for typed entries such as "-6 dB".
  vo.volume_from_db = function (db) {
    if (db === -Infinity) return 0;
    var c = -db / 24;
    var v = c <= 0.9 ? 1 - c : 0.01 / (c - 0.8);
    return v * 100;
  };

  function format_number(x, digits) {
    var text = x.toFixed(digits);
    if (Number(text) === 0) text = (0).toFixed(digits);
    return text.replace('-', '\u2212');
  }

  vo.format_db = function (db) {
    if (db === -Infinity) return '\u2212\u221e dB';
    var text = format_number(db, 1);
    return (Number(db.toFixed(1)) > 0 ? '+' : '') + text + ' dB';
  };

  vo.format_value = function (index, x) {
    if (vo.param_table[index].toggled) return x >= 0.5 ? 'Bypassed' : 'On';
    return format_number(x, 1) + ' %';
  };

  // What assistive technology reads for a control: the value and, for Volume,
  // the gain it gives.
  vo.value_text = function (index, x) {
    var text = vo.format_value(index, x);
    if (index === vo.PARAM_VOLUME) {
      var db = vo.volume_gain_db(x);
      text += db === -Infinity ? ', off' : ', ' + vo.format_db(db);
    }
    return text;
  };

  // A typed value: a number in the parameter's unit, a trailing "%" allowed,
  // a comma accepted as decimal mark. Volume also takes a gain in dB and the
  // word "off". Gives null for anything else.
  vo.parse_entry = function (index, text) {
    var t = String(text).trim().toLowerCase().replace(',', '.').replace('\u2212', '-');
    if (index === vo.PARAM_VOLUME) {
      if (/^(off|-inf|-\u221e)(\s*db)?$/.test(t)) return 0;
      var db = /^([+-]?\d*\.?\d+)\s*db$/.exec(t);
      if (db) return vo.volume_from_db(Number(db[1]));
    }
    var plain = /^([+-]?\d*\.?\d+)\s*%?$/.exec(t);
    return plain ? Number(plain[1]) : null;
  };
})();
