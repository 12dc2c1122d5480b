// Runs in the page before its own scripts, in place of WebView2's
// window.chrome.webview: whatever the page posts goes to the test's fake
// plug-in, and the test delivers messages the way WebView2 does, as a
// 'message' event whose data is the string.
(() => {
  const listeners = new EventTarget();
  window.chrome = window.chrome || {};
  window.chrome.webview = {
    postMessage(message) {
      window.__webview_post(typeof message === 'string' ? message : { not_a_string: String(message) });
    },
    addEventListener(type, listener, options) {
      listeners.addEventListener(type, listener, options);
    },
    removeEventListener(type, listener, options) {
      listeners.removeEventListener(type, listener, options);
    },
  };
  window.__webview_deliver = (text) => {
    listeners.dispatchEvent(new MessageEvent('message', { data: text }));
  };
})();
