'use strict';
// Opens the editor page from its file: URL in Debian's Chromium, with the
// WebView2 stand-in and a fake plug-in behind it. Every request that is not
// a local file is stopped and recorded; the feed address can be answered by
// the test.
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { pathToFileURL } = require('node:url');
const { chromium } = require('playwright-core');
const { create_fake_plugin } = require('../support/web/fake_plugin');

const WEB_DIR = path.resolve(__dirname, '../../web');
const PAGE_URL = pathToFileURL(path.join(WEB_DIR, 'index.html')).href;
const WEB_DIR_URL = pathToFileURL(WEB_DIR).href + '/';
const TEST_FEED_URL = 'https://feed.test/kesta/news.json';
const CHROMIUM = '/usr/bin/chromium';
const CHROMIUM_ARGS = [
  '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
];

// A browser with a fresh, empty profile that is removed afterwards.
async function launch_browser({ device_scale_factor = 1 } = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vo-web-profile-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: CHROMIUM,
    headless: true,
    args: CHROMIUM_ARGS,
    viewport: { width: 800, height: 400 },
    deviceScaleFactor: device_scale_factor,
  });
  return {
    context,
    async close() {
      await context.close();
      fs.rmSync(profile, { recursive: true, force: true });
    },
  };
}

async function wait_for(condition, what, timeout_ms = 4000) {
  const start = Date.now();
  for (;;) {
    const result = await condition();
    if (result) return result;
    if (Date.now() - start > timeout_ms) throw new Error('timed out waiting for ' + what);
    await new Promise((resolve) => setTimeout(resolve, 10));
  }
}

const EMPTY_FEED = () => ({ body: { items: [] } });

// The page is pointed at TEST_FEED_URL and feed(request) answers it with
// { status, body }, or null to fail the connection; it is handed the editor
// too, as the fetch may come before open_editor returns. feed: null leaves the
// built-in feed address in place (its requests are stopped).
async function open_editor(browser, { plugin = {}, feed = EMPTY_FEED, viewport = { width: 800, height: 400 } } = {}) {
  const page = await browser.context.newPage();
  await page.setViewportSize(viewport);
  const fake = create_fake_plugin(plugin);
  fake.page = page;
  const editor = {
    page,
    plugin: fake,
    errors: [],
    requests: [],
    feed_requests: [],
    blocked: [],
  };
  page.on('pageerror', (error) => editor.errors.push(error.message));
  page.on('console', (message) => {
    if (message.type() === 'error') editor.errors.push(message.text());
  });
  page.on('request', (request) => editor.requests.push(request.url()));
  await page.route((url) => url.protocol !== 'file:', async (route) => {
    const request = route.request();
    if (feed && request.url() === TEST_FEED_URL) {
      editor.feed_requests.push(request);
      const answer = await feed(request, editor);
      if (!answer) return route.abort('internetdisconnected');
      return route.fulfill({
        status: answer.status ?? 200,
        contentType: 'application/json',
        headers: { 'access-control-allow-origin': '*' },
        body: typeof answer.body === 'string' ? answer.body : JSON.stringify(answer.body),
      });
    }
    editor.blocked.push(request.url());
    return route.abort('blockedbyclient');
  });
  await page.exposeBinding('__webview_post', (source, message) => fake.receive(message));
  await page.addInitScript({ path: path.join(__dirname, '../support/web/webview_stand_in.js') });
  const query = feed ? '?feed=' + encodeURIComponent(TEST_FEED_URL) : '';
  await page.goto(PAGE_URL + query);
  await wait_for(() => fake.posted.includes('g'), '"g"');
  // Let the answers to "g" and to the news request arrive.
  await wait_for(() => fake.news.requests.length > 0, 'the news init request');
  await fake.delivery;
  await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => resolve())));
  fake.take();
  return editor;
}

async function center_of(locator) {
  const box = await locator.boundingBox();
  return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
}

// A vertical drag in equal steps; negative dy is upwards.
async function drag(page, locator, dy, { steps = 20, shift = false, hold = null } = {}) {
  const start = await center_of(locator);
  await page.mouse.move(start.x, start.y);
  if (shift) await page.keyboard.down('Shift');
  await page.mouse.down();
  for (let i = 1; i <= steps; i++) {
    await page.mouse.move(start.x, start.y + (dy * i) / steps);
    if (hold && i === Math.floor(steps / 2)) await hold();
  }
  await page.mouse.up();
  if (shift) await page.keyboard.up('Shift');
}

// Waits until the plug-in has seen a message matching the test and returns
// everything posted since the last take().
async function take_until(editor, test, what) {
  await wait_for(() => editor.plugin.posted.slice(editor.plugin.taken).some(test), what);
  return editor.plugin.take();
}

module.exports = {
  WEB_DIR_URL, TEST_FEED_URL, launch_browser, open_editor, wait_for, drag, center_of, take_until,
};
