'use strict';
// The news card against the plug-in's news store and the vendor's feed:
// what init brings, the unread count and read marks, the daily fetch, the
// merge after a refused write, offline use, and what leaves the machine.
const { describe, it, before, after, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const { launch_browser, open_editor, wait_for, WEB_DIR_URL, TEST_FEED_URL } = require('./editor_page');

const PRODUCT = 'vellomarquin-overdrive';
const LATEST = PRODUCT + '/latest';
const HOUR = 60 * 60 * 1000;
const DAY = 24 * HOUR;

const item = (id, date, extra = {}) =>
  ({ id, date, title: 'Title ' + id, text: 'About ' + id, url: 'https://morvo.test/' + id, ...extra });
const news_text = (tag, fetched, items) => `${tag} ${JSON.stringify({ v: 1, fetched, items })}`;
const latest_text = (tag, read) => `${tag} ${JSON.stringify({ v: 1, read })}`;
const doc_of = (stored) => JSON.parse(stored.slice(9));
const ids_of = (stored) => doc_of(stored).items.map((i) => i.id).sort();

let browser;
let editor;
before(async () => { browser = await launch_browser(); });
after(async () => { await browser.close(); });
afterEach(async () => {
  if (!editor) return;
  await browser.context.setOffline(false);
  assert.deepEqual(editor.errors, [], 'the page reported errors');
  await editor.page.close();
  editor = null;
});

const requests = (prefix) => editor.plugin.news.requests.filter((r) => r.startsWith(prefix));
const badge = () => editor.page.locator('#news-badge');
const titles = () => editor.page.locator('.news-title').allInnerTexts();
const stored = (file) => editor.plugin.news.files.get(file);
async function open_news() {
  await editor.page.getByRole('button', { name: /^News/ }).click();
  await editor.page.getByRole('dialog', { name: 'News' }).waitFor();
}
async function settle() {
  await editor.page.waitForTimeout(150);
  await editor.plugin.delivery;
}

describe('news from the store', () => {
  it('shows what init brings, counts the unread, and marks what the card shows as read', async () => {
    const now = Date.now();
    const files = {
      'kesta-system': 'a1b2c3d4e5f60718293a4b5c6d7e8f90',
      'kesta-news': news_text('0000000a', now - HOUR, [
        item('n1', '2025-01-10'),
        item('n3', '2025-03-02', { url: 'javascript:alert(1)' }),
        item('n2', '2025-02-20', { products: [PRODUCT, 'another-product'] }),
        item('other', '2025-03-05', { products: ['another-product'] }),
      ]),
      [LATEST]: latest_text('0000000b', ['n1']),
    };
    editor = await open_editor(browser, { plugin: { files } });
    assert.deepEqual(editor.plugin.news.requests[0], 'kestaV1 init ' + PRODUCT);
    assert.equal(editor.plugin.posted[1], 'm kestaV1 init ' + PRODUCT, 'the news request follows "g"');
    await wait_for(() => badge().isVisible(), 'the unread count');
    assert.equal(await badge().innerText(), '2');
    assert.equal(await editor.page.getByRole('button', { name: /^News/ }).getAttribute('aria-label'), 'News, 2 unread');
    await settle();
    // A sid exists and the news was fetched an hour ago: nothing to do.
    assert.deepEqual(requests('kestaV1 newSid'), []);
    assert.equal(editor.feed_requests.length, 0);

    await open_news();
    assert.deepEqual(await titles(), ['Title n3', 'Title n2', 'Title n1']);
    assert.deepEqual(await editor.page.locator('.news-item.is-new .news-title').allInnerTexts(), ['Title n3', 'Title n2']);
    assert.deepEqual(await editor.page.locator('.news-item time').allInnerTexts(), ['2 Mar 2025', '20 Feb 2025', '10 Jan 2025']);
    // Links go out as web links in a new window, which the plug-in sends to the browser;
    // anything else is not a link at all.
    const links = editor.page.locator('.news-link');
    assert.equal(await links.count(), 2);
    assert.equal(await links.first().getAttribute('href'), 'https://morvo.test/n2');
    assert.equal(await links.first().getAttribute('target'), '_blank');

    await wait_for(() => requests('kestaV1 syncLatest').length === 1, 'the read marks');
    const sync = requests('kestaV1 syncLatest ')[0];
    assert.match(sync, new RegExp(`^kestaV1 syncLatest ${PRODUCT} 0000000b [0-9a-f]{8} \\{`));
    assert.deepEqual(doc_of(stored(LATEST)).read.sort(), ['n1', 'n2', 'n3']);
    assert.equal(await badge().isVisible(), false);

    // Escape puts the card away and gives focus back; so does reaching for a knob.
    const dialog = editor.page.getByRole('dialog', { name: 'News' });
    await editor.page.keyboard.press('Escape');
    assert.equal(await dialog.isVisible(), false);
    assert.equal(await editor.page.evaluate(() => document.activeElement.id), 'news-button');
    await open_news();
    await editor.page.getByRole('slider', { name: 'Drive', exact: true }).click();
    assert.equal(await dialog.isVisible(), false);

    // The marks are kept: the next editor has nothing unread.
    await editor.page.close();
    editor = await open_editor(browser, { plugin: { files: Object.fromEntries(editor.plugin.news.files) } });
    await settle();
    assert.equal(await badge().isVisible(), false);
  });

  it('makes the sid once on first start, and fetches the feed without it', async () => {
    const feed = { items: [item('f1', '2025-04-01'), item('f2', '2025-04-02'), { id: 'no-title' }] };
    editor = await open_editor(browser, { feed: () => ({ body: feed }) });
    await wait_for(() => stored('kesta-news'), 'the fetched news stored');
    const [new_sid] = requests('kestaV1 newSid ');
    const sid = new_sid.slice('kestaV1 newSid '.length);
    assert.match(sid, /^[0-9a-f]{32}$/);
    assert.equal(stored('kesta-system'), sid);

    assert.equal(editor.feed_requests.length, 1);
    const request = editor.feed_requests[0];
    const sent = [request.url(), JSON.stringify(await request.allHeaders()), request.postData() ?? ''].join('\n');
    assert.ok(!sent.includes(sid), 'the sid left the machine');
    assert.equal(request.method(), 'GET');

    assert.match(requests('kestaV1 syncNews ')[0], /^kestaV1 syncNews - [0-9a-f]{8} \{/);
    assert.deepEqual(ids_of(stored('kesta-news')), ['f1', 'f2']);
    assert.ok(Math.abs(doc_of(stored('kesta-news')).fetched - Date.now()) < 60000);
    await wait_for(async () => (await badge().innerText()) === '2', 'two unread');

    // The next editor finds the sid and today's news in the store.
    const files = Object.fromEntries(editor.plugin.news.files);
    await editor.page.close();
    editor = await open_editor(browser, { plugin: { files }, feed: () => ({ body: feed }) });
    await settle();
    assert.deepEqual(requests('kestaV1 newSid'), []);
    assert.equal(editor.feed_requests.length, 0, 'fetched twice in one day');
    await open_news();
    assert.deepEqual(await titles(), ['Title f2', 'Title f1']);
  });

  it('fetches again once the stored news is a day old, keeping what was stored', async () => {
    const files = { 'kesta-news': news_text('1234abcd', Date.now() - DAY - HOUR, [item('old', '2024-12-01')]) };
    editor = await open_editor(browser, { plugin: { files }, feed: () => ({ body: [item('new', '2025-05-01')] }) });
    await wait_for(() => stored('kesta-news').slice(0, 8) !== '1234abcd', 'the news stored');
    assert.match(requests('kestaV1 syncNews ')[0], /^kestaV1 syncNews 1234abcd [0-9a-f]{8} \{/);
    assert.deepEqual(ids_of(stored('kesta-news')), ['new', 'old']);
  });
});

describe('writes that meet another instance', () => {
  it('merges a refused news write with the stored news and writes again', async () => {
    const now = Date.now();
    const files = { 'kesta-news': news_text('aaaaaaaa', now - 3 * DAY, [item('old', '2024-11-01')]) };
    editor = await open_editor(browser, {
      plugin: { files },
      feed: async (request, opening) => {
        // While this page fetched, another editor stored news of its own.
        opening.plugin.news.files.set('kesta-news',
          news_text('bbbbbbbb', now - HOUR, [item('old', '2024-11-01'), item('theirs', '2025-06-01')]));
        return { body: { items: [item('ours', '2025-06-02')] } };
      },
    });
    await wait_for(() => requests('kestaV1 syncNews ').length === 2, 'the second write');
    await settle();
    const [first, second] = requests('kestaV1 syncNews ');
    assert.match(first, /^kestaV1 syncNews aaaaaaaa /);
    assert.match(second, /^kestaV1 syncNews bbbbbbbb [0-9a-f]{8} \{/);
    assert.equal(requests('kestaV1 syncNews ').length, 2);
    assert.deepEqual(requests('kestaV1 syncNewsForce'), []);
    assert.deepEqual(ids_of(stored('kesta-news')), ['old', 'ours', 'theirs']);
    assert.equal(stored('kesta-news').slice(0, 8), second.split(' ')[3]);
    await open_news();
    assert.deepEqual(await titles(), ['Title ours', 'Title theirs', 'Title old']);
  });

  it('merges refused read marks the same way', async () => {
    const files = {
      'kesta-news': news_text('aaaaaaaa', Date.now(), [item('a', '2025-01-01'), item('b', '2025-01-02')]),
      [LATEST]: latest_text('cccccccc', []),
    };
    editor = await open_editor(browser, { plugin: { files } });
    editor.plugin.news.before_request = (text, store) => {
      if (text.startsWith('kestaV1 syncLatest ') && store.files.get(LATEST).startsWith('cccccccc')) {
        store.files.set(LATEST, latest_text('dddddddd', ['from-elsewhere']));
      }
    };
    await open_news();
    await wait_for(() => requests('kestaV1 syncLatest ').length === 2, 'the second write');
    await settle();
    assert.match(requests('kestaV1 syncLatest ')[1], new RegExp(`^kestaV1 syncLatest ${PRODUCT} dddddddd `));
    assert.deepEqual(doc_of(stored(LATEST)).read.sort(), ['a', 'b', 'from-elsewhere']);
  });

  it('replaces stored news it cannot read, and leaves a newer format alone', async () => {
    const cases = [
      // stored text, request expected, text left in the store (null: ours)
      ['not news at all', /^kestaV1 syncNews not news [0-9a-f]{8} \{/, null],
      ['odd', /^kestaV1 syncNewsForce [0-9a-f]{8} \{/, null],
      ['', /^kestaV1 syncNews - [0-9a-f]{8} \{/, null],
      [news_text('eeeeeeee', 0, [item('x', '2025-01-01')]).replace('"v":1', '"v":2'), null, 'same'],
    ];
    for (const [text, request, left] of cases) {
      const feed = () => ({ body: [item('f', '2025-02-02')] });
      editor = await open_editor(browser, { plugin: { files: { 'kesta-news': text } }, feed });
      await settle();
      const writes = editor.plugin.news.requests.filter((r) => /^kestaV1 syncNews/.test(r));
      if (left === 'same') {
        assert.deepEqual(writes, [], 'overwrote a newer format');
        assert.equal(editor.feed_requests.length, 0);
        assert.equal(stored('kesta-news'), text);
        await open_news();
        assert.deepEqual(await titles(), ['Title x']);
      } else {
        assert.equal(writes.length, 1, JSON.stringify(text));
        assert.match(writes[0], request);
        assert.deepEqual(ids_of(stored('kesta-news')), ['f']);
      }
      await editor.page.close();
      editor = null;
    }
  });
});

describe('without the feed', () => {
  it('offline, shows the stored news, asks nothing, and fetches once back online', async () => {
    const files = { 'kesta-news': news_text('aaaaaaaa', Date.now() - 3 * DAY, [item('kept', '2025-01-01')]) };
    await browser.context.setOffline(true);
    editor = await open_editor(browser, { plugin: { files }, feed: () => ({ body: [item('fresh', '2025-07-01')] }) });
    await settle();
    assert.equal(editor.feed_requests.length, 0);
    assert.deepEqual(requests('kestaV1 syncNews'), []);
    assert.equal(await badge().innerText(), '1');
    await open_news();
    assert.deepEqual(await titles(), ['Title kept']);
    assert.equal(await editor.page.getByRole('alert').count(), 0);

    await browser.context.setOffline(false);
    await wait_for(() => editor.feed_requests.length === 1, 'a fetch once online');
    await wait_for(async () => (await titles()).length === 2, 'the fresh news on the open card');
    assert.deepEqual(ids_of(stored('kesta-news')), ['fresh', 'kept']);
  });

  it('keeps the stored news quietly when the feed fails or is not news', async () => {
    const cases = [
      // feed answer, whether the attempt counts as today's fetch
      [null, false],
      [{ status: 503, body: 'busy' }, true],
      [{ body: '<html>not json</html>' }, true],
      [{ body: { something: 'else' } }, true],
    ];
    for (const [answer, counts] of cases) {
      const files = { 'kesta-news': news_text('aaaaaaaa', Date.now() - 2 * DAY, [item('kept', '2025-01-01')]) };
      editor = await open_editor(browser, { plugin: { files }, feed: () => answer });
      await wait_for(() => editor.feed_requests.length === 1, 'the fetch');
      await settle();
      if (counts) {
        assert.deepEqual(ids_of(stored('kesta-news')), ['kept']);
        assert.ok(doc_of(stored('kesta-news')).fetched > Date.now() - HOUR, 'the attempt was not kept');
      } else {
        assert.deepEqual(requests('kestaV1 syncNews'), []);
      }
      await open_news();
      assert.deepEqual(await titles(), ['Title kept']);
      assert.equal(await editor.page.getByRole('alert').count(), 0);
      // A failed connection is logged by the browser itself, never shown.
      editor.errors = editor.errors.filter((e) => !/Failed to load resource/.test(e));
      await editor.page.close();
      editor = null;
    }
  });
});

describe('requests leaving the page', () => {
  it('loads only its own files and asks only the feed address', async () => {
    editor = await open_editor(browser, { feed: () => ({ body: [item('f', '2025-01-01')] }) });
    await wait_for(() => stored('kesta-news'), 'the news stored');
    await open_news();
    await editor.page.getByRole('slider', { name: 'Drive', exact: true }).focus();
    const foreign = editor.requests.filter((url) => !url.startsWith(WEB_DIR_URL) && url !== TEST_FEED_URL);
    assert.deepEqual(foreign, []);
    assert.ok(editor.requests.some((url) => url.endsWith('/web/style.css')), 'the request log saw the page load');
    assert.deepEqual(editor.blocked, []);
  });

  it('without an override, asks only the vendor\'s one feed address', async () => {
    editor = await open_editor(browser, { feed: null });
    await wait_for(() => editor.blocked.length > 0, 'the feed request');
    await settle();
    const feed_url = await editor.page.evaluate(() => window.vo.NEWS_FEED_URL);
    assert.match(feed_url, /^https:\/\//);
    assert.deepEqual(editor.blocked, [feed_url]);
    assert.deepEqual(editor.requests.filter((url) => !url.startsWith(WEB_DIR_URL)), [feed_url]);
    editor.errors = editor.errors.filter((e) => !/Failed to load resource/.test(e));
  });
});
