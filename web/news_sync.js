// The news feature's traffic: the "kestaV1" requests to the plug-in's
// per-user store, and the vendor's feed, fetched at most once a day while
// online. The store is shared by every instance of every product of the
// vendor, so nothing is ever written blindly: each write names the revision
// it replaces, and a refused write is merged and tried again.
(function () {
  'use strict';

  var vo = window.vo = window.vo || {};

  // One name for this product in the store: no spaces (a request splits the
  // name off at the first one) and safe as a folder name.
  vo.NEWS_PRODUCT = 'vellomarquin-overdrive';
  vo.NEWS_FEED_URL = 'https://news.morvophonics.com/kesta/v1/feed.json';

  var PREFIX = 'kestaV1 ';
  var DAY_MS = 24 * 60 * 60 * 1000;
  var RECHECK_MS = 60 * 60 * 1000;
  var FETCH_TIMEOUT_MS = 15000;
  var MAX_RESYNCS = 10;       // a guard, never reached while merges converge

  function random_hex(byte_count) {
    var bytes = new Uint8Array(byte_count);
    crypto.getRandomValues(bytes);
    return Array.prototype.map.call(bytes, function (b) { return ('0' + b.toString(16)).slice(-2); }).join('');
  }

  // One stored text (the news, or this product's read marks) as last seen.
  function slot_create(clean, merge, sync_prefix, force_prefix) {
    return {
      clean: clean, merge: merge, sync_prefix: sync_prefix, force_prefix: force_prefix,
      raw: null, tag: null, doc: clean(null), newer_format: false, resyncs: 0
    };
  }

  function slot_load(slot, text) {
    var parsed = vo.stored_parse(text);
    slot.raw = text;
    slot.tag = parsed ? parsed.tag : null;
    slot.doc = slot.clean(parsed ? parsed.doc : null);
    slot.newer_format = parsed ? vo.doc_is_newer(parsed.doc) : false;
  }

  // The expected revision of a write: the tag seen, "-" when nothing is
  // stored, or for an unreadable text its first eight characters, which
  // replaces it. A text too short or odd for that is replaced by force.
  function slot_write(slot, doc) {
    if (slot.newer_format) return;
    var expected = null;
    if (slot.tag) expected = slot.tag;
    else if (!slot.raw) expected = '-';
    else if (/^[\x20-\x7e]{8}/.test(slot.raw)) expected = slot.raw.slice(0, 8);
    var tag = vo.news_new_tag(slot.tag);
    var text = vo.stored_format(tag, doc);
    if (expected) vo.post('m ' + slot.sync_prefix + expected + ' ' + text);
    else vo.post('m ' + slot.force_prefix + text);
    slot.raw = text;
    slot.tag = tag;
    slot.doc = doc;
  }

  // The store refused a write and sent what it holds: keep both, write again
  // unless what is stored already holds everything.
  function slot_conflict(slot, stored_text) {
    var ours = slot.doc;
    slot_load(slot, stored_text);
    if (slot.newer_format) return;
    var merged = slot.merge(ours, slot.doc);
    if (slot.tag && vo.docs_equal(merged, slot.doc)) return;
    if (slot.resyncs >= MAX_RESYNCS) return;
    slot.resyncs++;
    slot_write(slot, merged);
  }

  vo.news_create = function (feed_url) {
    var news = {
      product: vo.NEWS_PRODUCT,
      feed_url: feed_url || vo.NEWS_FEED_URL,
      ready: false,
      sid: '',
      fetching: false,
      stored: slot_create(vo.news_doc_clean, vo.news_merge,
        PREFIX + 'syncNews ', PREFIX + 'syncNewsForce '),
      latest: slot_create(vo.latest_doc_clean, vo.latest_merge,
        PREFIX + 'syncLatest ' + vo.NEWS_PRODUCT + ' ', PREFIX + 'syncLatestForce ' + vo.NEWS_PRODUCT + ' '),
      on_update: []
    };
    return news;
  };

  function updated(news) {
    for (var i = 0; i < news.on_update.length; i++) news.on_update[i](news);
  }

  vo.news_start = function (news) {
    vo.post('m ' + PREFIX + 'init ' + news.product);
    window.addEventListener('online', function () { news_maybe_fetch(news); });
    setInterval(function () { news_maybe_fetch(news); }, RECHECK_MS);
  };

  vo.news_items = function (news) {
    return vo.news_for_product(news.stored.doc, news.product);
  };

  vo.news_unread = function (news) {
    var read = news.latest.doc.read;
    return vo.news_items(news).filter(function (item) { return read.indexOf(item.id) < 0; });
  };

  vo.news_mark_read = function (news) {
    if (!news.ready) return;
    var ids = vo.news_items(news).map(function (item) { return item.id; });
    var merged = vo.latest_merge(news.latest.doc, { read: ids });
    if (vo.docs_equal(merged, news.latest.doc)) return;
    slot_write(news.latest, merged);
    updated(news);
  };

  function init_done(news) {
    if (news.ready) return;
    news.ready = true;
    // The sid is made once per user and stays in the store: no request that
    // leaves the machine carries it.
    if (!news.sid) {
      news.sid = random_hex(16);
      vo.post('m ' + PREFIX + 'newSid ' + news.sid);
    }
    updated(news);
    news_maybe_fetch(news);
  }

  // Replies of the store, each the text of one "m" message.
  vo.news_receive = function (news, text) {
    if (text.indexOf(PREFIX) !== 0) return;
    var body = text.slice(PREFIX.length);
    var space = body.indexOf(' ');
    if (space < 0) return;
    var kind = body.slice(0, space);
    var rest = body.slice(space + 1);
    switch (kind) {
      case 'initSid': news.sid = rest; break;
      case 'initNews': slot_load(news.stored, rest); break;
      case 'initLatest': slot_load(news.latest, rest); break;
      case 'initDone': init_done(news); break;
      case 'syncNewsConflict': slot_conflict(news.stored, rest); updated(news); break;
      case 'syncLatestConflict': slot_conflict(news.latest, rest); updated(news); break;
    }
  };

  function fetch_due(doc, now) {
    return !(doc.fetched > 0 && now - doc.fetched < DAY_MS && doc.fetched - now < DAY_MS);
  }

  // Resolves to null when the feed could not be reached, else to the items,
  // or to null items when the answer was not news.
  function fetch_feed(url) {
    var abort = new AbortController();
    var timer = setTimeout(function () { abort.abort(); }, FETCH_TIMEOUT_MS);
    return fetch(url, { cache: 'no-store', credentials: 'omit', referrerPolicy: 'no-referrer', signal: abort.signal })
      .then(function (response) {
        if (!response.ok) return { items: null };
        return response.json().then(function (feed) {
          return { items: vo.news_feed_items(feed) };
        }, function () {
          return { items: null };
        });
      }, function () {
        return null;
      })
      .finally(function () { clearTimeout(timer); });
  }

  function news_maybe_fetch(news) {
    var slot = news.stored;
    if (!news.ready || news.fetching || slot.newer_format || !navigator.onLine) return;
    if (!fetch_due(slot.doc, Date.now())) return;
    news.fetching = true;
    fetch_feed(news.feed_url).then(function (answer) {
      news.fetching = false;
      // Unreachable: try again when next online. Reached, even with a bad
      // answer: that was today's fetch.
      if (!answer) return;
      var now = Date.now();
      var fresh = answer.items ? { fetched: now, items: answer.items } : { fetched: now, items: [] };
      slot_write(slot, vo.news_merge(slot.doc, fresh));
      updated(news);
    });
  }
})();
