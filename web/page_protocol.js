// The text messages between this page and the plug-in. Values travel as the
// bit pattern of a 32-bit float in hexadecimal, so nothing is lost to decimal
// rounding on the way. Outside the plug-in (a plain browser) there is no
// channel: posts go nowhere and nothing arrives.
(function () {
  'use strict';

  var vo = window.vo = window.vo || {};

  var scratch = new DataView(new ArrayBuffer(4));

  vo.float_to_bits = function (x) {
    scratch.setFloat32(0, x);
    return ('0000000' + scratch.getUint32(0).toString(16)).slice(-8);
  };

  vo.bits_to_float = function (hex) {
    scratch.setUint32(0, parseInt(hex, 16));
    return scratch.getFloat32(0);
  };

  // "b", "s" or "e" followed by the index and the value bits, e.g. "s 3 42c80000".
  vo.edit_message = function (tag, index, value) {
    return tag + ' ' + index.toString(16) + ' ' + vo.float_to_bits(value);
  };

  // "s IIIIIIII VVVVVVVV" from the plug-in; null for anything malformed.
  var VALUE_MESSAGE = /^s ([0-9a-f]{8}) ([0-9a-f]{8})$/;

  vo.parse_value_message = function (text) {
    var m = VALUE_MESSAGE.exec(text);
    if (!m) return null;
    return { index: parseInt(m[1], 16), value: vo.bits_to_float(m[2]) };
  };

  function channel() {
    return window.chrome && window.chrome.webview ? window.chrome.webview : null;
  }

  vo.post = function (text) {
    var ch = channel();
    if (ch) ch.postMessage(String(text));
  };

  vo.listen = function (on_text) {
    var ch = channel();
    if (!ch) return;
    ch.addEventListener('message', function (event) {
      if (typeof event.data === 'string') on_text(event.data);
    });
  };
})();
