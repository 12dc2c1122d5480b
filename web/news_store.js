// What the news feature keeps in the plug-in's per-user store, and how two
// versions of it are merged. A stored text is an 8-digit revision tag, one
// space and a JSON document:
//
//   news:   "3fa94c01 {"v":1,"fetched":1733900000000,"items":[...]}"
//   latest: "9c0d7e22 {"v":1,"read":["2024-11-a", ...]}"
//
// The store only writes when the text still begins with the tag the page last
// saw, so every write carries a fresh tag; after a refusal the page merges
// with what is there and tries again. Merging is a union, so instances of the
// plug-in that write at the same time lose nothing.
(function () {
  'use strict';

  var vo = window.vo = window.vo || {};

  vo.NEWS_FORMAT = 1;
  var KEEP_ITEMS = 40;        // the store is small: the newest items only
  var KEEP_READ = 200;        // read marks kept per product
  var TAG = /^[0-9a-f]{8}$/;

  vo.news_new_tag = function (previous) {
    var bytes = new Uint8Array(4);
    var tag;
    do {
      crypto.getRandomValues(bytes);
      tag = Array.prototype.map.call(bytes, function (b) {
        return ('0' + b.toString(16)).slice(-2);
      }).join('');
    } while (tag === previous);
    return tag;
  };

  // { tag, doc } for a text in the format above, or null.
  vo.stored_parse = function (text) {
    if (typeof text !== 'string' || text.charAt(8) !== ' ' || !TAG.test(text.slice(0, 8))) return null;
    try {
      var doc = JSON.parse(text.slice(9));
      return doc && typeof doc === 'object' ? { tag: text.slice(0, 8), doc: doc } : null;
    } catch (e) {
      return null;
    }
  };

  vo.stored_format = function (tag, doc) {
    return tag + ' ' + JSON.stringify(doc);
  };

  function text_field(value, limit) {
    return typeof value === 'string' ? value.slice(0, limit) : '';
  }

  // Links leave the editor for the user's browser, so only web addresses are
  // kept: a feed can never smuggle in a script or a local file.
  function web_link(value) {
    if (typeof value !== 'string') return '';
    try {
      var url = new URL(value);
      return url.protocol === 'https:' || url.protocol === 'http:' ? url.href : '';
    } catch (e) {
      return '';
    }
  }

  // One item from the feed or the store, or null when it has no identity or
  // nothing to show.
  vo.news_item_clean = function (raw) {
    if (!raw || typeof raw !== 'object') return null;
    var id = text_field(raw.id, 200);
    var title = text_field(raw.title, 200);
    if (!id || !title) return null;
    var item = {
      id: id,
      date: /^\d{4}-\d{2}-\d{2}$/.test(raw.date) ? raw.date : '',
      title: title,
      text: text_field(raw.text, 2000),
      url: web_link(raw.url)
    };
    if (Array.isArray(raw.products)) {
      item.products = raw.products.filter(function (p) { return typeof p === 'string'; }).slice(0, 50);
    }
    return item;
  };

  // The feed is {"items": [...]} (a bare array is accepted too); null when it
  // is not news at all.
  vo.news_feed_items = function (feed) {
    var raw = Array.isArray(feed) ? feed : feed && Array.isArray(feed.items) ? feed.items : null;
    if (!raw) return null;
    return raw.map(vo.news_item_clean).filter(Boolean);
  };

  function newest_first(a, b) {
    if (a.date !== b.date) return a.date < b.date ? 1 : -1;
    return a.id < b.id ? -1 : a.id > b.id ? 1 : 0;
  }

  vo.news_doc_clean = function (doc) {
    var items = doc && Array.isArray(doc.items) ? doc.items.map(vo.news_item_clean).filter(Boolean) : [];
    var fetched = doc && typeof doc.fetched === 'number' && isFinite(doc.fetched) ? doc.fetched : 0;
    return { v: vo.NEWS_FORMAT, fetched: fetched, items: items.sort(newest_first).slice(0, KEEP_ITEMS) };
  };

  // Items of both, the text of the more recent fetch winning for an item
  // both hold; the later fetch time.
  vo.news_merge = function (a, b) {
    var older = a.fetched <= b.fetched ? a : b;
    var newer = older === a ? b : a;
    var by_id = {};
    older.items.concat(newer.items).forEach(function (item) { by_id[item.id] = item; });
    var items = Object.keys(by_id).map(function (id) { return by_id[id]; });
    return vo.news_doc_clean({ fetched: newer.fetched, items: items });
  };

  vo.latest_doc_clean = function (doc) {
    var read = doc && Array.isArray(doc.read) ? doc.read : [];
    var seen = {};
    read = read.filter(function (id) {
      if (typeof id !== 'string' || !id || seen[id]) return false;
      seen[id] = true;
      return true;
    });
    return { v: vo.NEWS_FORMAT, read: read.slice(-KEEP_READ) };
  };

  vo.latest_merge = function (a, b) {
    return vo.latest_doc_clean({ read: a.read.concat(b.read) });
  };

  vo.docs_equal = function (a, b) {
    return JSON.stringify(a) === JSON.stringify(b);
  };

  // A document written by a newer page keeps its own rules: this page reads
  // what it understands and never overwrites it.
  vo.doc_is_newer = function (doc) {
    return !!doc && typeof doc.v === 'number' && doc.v > vo.NEWS_FORMAT;
  };

  vo.news_for_product = function (doc, product) {
    return doc.items.filter(function (item) {
      return !item.products || item.products.length === 0 || item.products.indexOf(product) >= 0;
    });
  };
})();
