'use strict';
// The native side of the editor as the page sees it: the value array that
// "b", "s" and "e" update and "g" replays, optional host echoes of every
// edit, and the news store behind "m".
const { create_news_store } = require('./fake_news_store');

const DEFAULTS = [50, 50, 50, 100, 100, 0];

function float_bits(x) {
  const view = new DataView(new ArrayBuffer(4));
  view.setFloat32(0, x);
  return view.getUint32(0).toString(16).padStart(8, '0');
}

function bits_float(hex) {
  const view = new DataView(new ArrayBuffer(4));
  view.setUint32(0, parseInt(hex, 16));
  return view.getFloat32(0);
}

function value_message(index, value) {
  return 's ' + index.toString(16).padStart(8, '0') + ' ' + float_bits(value);
}

// An edit message read the way the native dispatcher reads it ("%x %x").
function parse_edit(text) {
  const m = /^([bse]) \s*(?:0x)?([0-9a-f]+)\s+(?:0x)?([0-9a-f]+)/i.exec(text);
  if (!m) return null;
  return { tag: m[1], index: parseInt(m[2], 16), bits: m[3].toLowerCase(), value: bits_float(m[3]) };
}

function create_fake_plugin({ values = DEFAULTS, echo = false, files = {} } = {}) {
  const plugin = {
    page: null,
    posted: [],
    values: values.slice(),
    echo,
    news: create_news_store(files),
    delivery: Promise.resolve(),

    // Messages reach the page one after another, as WebView2 delivers them.
    deliver(text) {
      plugin.delivery = plugin.delivery
        .then(() => plugin.page.evaluate((t) => window.__webview_deliver(t), text))
        .catch(() => {});
      return plugin.delivery;
    },

    receive(message) {
      plugin.posted.push(message);
      if (typeof message !== 'string') return;
      const tag = message.charAt(0);
      if (tag === 'b' || tag === 's' || tag === 'e') {
        const edit = parse_edit(message);
        if (!edit || edit.index >= plugin.values.length) return;
        plugin.values[edit.index] = edit.value;
        if (plugin.echo) plugin.deliver(value_message(edit.index, edit.value));
      } else if (tag === 'g') {
        plugin.values.forEach((value, index) => plugin.deliver(value_message(index, value)));
      } else if (tag === 'm') {
        plugin.news.handle(message.slice(2), (reply) => plugin.deliver('m ' + reply));
      }
    },

    // Parameter messages posted since the last call; news requests run on
    // their own and are left out.
    taken: 0,
    take() {
      const fresh = plugin.posted.slice(plugin.taken);
      plugin.taken = plugin.posted.length;
      return fresh.filter((m) => typeof m !== 'string' || !m.startsWith('m '));
    },
  };
  return plugin;
}

module.exports = { create_fake_plugin, value_message, parse_edit, float_bits, DEFAULTS };
