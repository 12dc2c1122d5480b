'use strict';
// The plug-in's news store as the page meets it: the seven "kestaV1"
// requests on an in-memory set of files, with the same replies, the same
// revision-tag check and the same silence on success. `files` maps
// 'kesta-system', 'kesta-news' and '<name>/latest' to their texts; a missing
// key is a missing file.

const REQUESTS = [
  ['kestaV1 init ', init],
  ['kestaV1 getNews ', get_news],
  ['kestaV1 newSid ', (store, rest) => store.write('kesta-system', rest)],
  ['kestaV1 syncNews ', (store, rest, reply) => sync(store, 'kesta-news', rest, reply, 'syncNewsConflict')],
  ['kestaV1 syncLatest ', sync_latest],
  ['kestaV1 syncNewsForce ', (store, rest) => store.write('kesta-news', rest)],
  ['kestaV1 syncLatestForce ', (store, rest) => {
    const space = rest.indexOf(' ');
    if (space > 0) store.write(rest.slice(0, space) + '/latest', rest.slice(space + 1));
  }],
];

function init(store, name, reply) {
  const sid = store.files.get('kesta-system');
  const news = store.files.get('kesta-news');
  const latest = store.files.get(name + '/latest');
  if (sid !== undefined) reply('kestaV1 initSid ' + sid);
  if (news !== undefined) reply('kestaV1 initNews ' + news);
  if (latest !== undefined) reply('kestaV1 initLatest ' + latest);
  reply('kestaV1 initDone ');
}

function get_news(store, rest, reply) {
  reply('kestaV1 getNews ' + (store.files.get('kesta-news') ?? ''));
}

// Writes when the stored text still begins with the expected tag ("-":
// when nothing is stored); otherwise answers with what is stored.
function sync(store, file, payload, reply, conflict_word) {
  const stored = store.files.get(file) ?? '';
  let write;
  let text;
  if (payload.startsWith('-')) {
    write = stored === '';
    text = payload.slice(2);
  } else {
    write = stored === '' || (stored.length >= 8 && stored.slice(0, 8) === payload.slice(0, 8));
    text = payload.slice(9);
  }
  if (write) store.write(file, text);
  else reply('kestaV1 ' + conflict_word + ' ' + stored);
}

function sync_latest(store, rest, reply) {
  const space = rest.indexOf(' ');
  if (space <= 0) return;
  sync(store, rest.slice(0, space) + '/latest', rest.slice(space + 1), reply, 'syncLatestConflict');
}

function create_news_store(files = {}) {
  const store = {
    files: new Map(Object.entries(files)),
    requests: [],
    // Called with each request before it is served: lets a test play another
    // plug-in instance writing to the same files in between.
    before_request: null,
    write(file, text) { store.files.set(file, text); },
    handle(text, reply) {
      store.requests.push(text);
      if (store.before_request) store.before_request(text, store);
      for (const [prefix, serve] of REQUESTS) {
        if (text.startsWith(prefix)) {
          serve(store, text.slice(prefix.length), reply);
          return;
        }
      }
    },
  };
  return store;
}

module.exports = { create_news_store };
