'use strict';
// The page at the sizes a host may give it: everything visible, nothing
// overlapping, the whole drawing scaled alike. Screenshots for review go to
// VO_SCREENSHOT_DIR (run.sh sets it; default <repo>/build/web).
const { describe, it, before, after } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { launch_browser, open_editor, wait_for } = require('./editor_page');

const SHOTS = process.env.VO_SCREENSHOT_DIR || path.resolve(__dirname, '../../build/web');
const NOW = Date.now();
const NEWS = {
  'kesta-system': '0123456789abcdef0123456789abcdef',
  'kesta-news': '5e1f00d2 ' + JSON.stringify({
    v: 1,
    fetched: NOW,
    items: [
      { id: 'v1-2', date: '2025-06-12', title: 'Vellomarquin 1.2: a warmer Heat curve',
        text: 'The Heat control now shapes the low mids more gently at its upper end. Free for every owner.',
        url: 'https://morvo.test/news/v1-2' },
      { id: 'tips', date: '2025-05-30', title: 'Three ways to stack Drive and Mix',
        text: 'Parallel drive for bass, edge-of-breakup for keys, and full saturation for leads.',
        url: 'https://morvo.test/news/tips' },
      { id: 'hello', date: '2025-04-02', title: 'Welcome to Morvo.PHONICS news', text: 'Updates land here.' },
    ],
  }),
  'vellomarquin-overdrive/latest': '00c0ffee ' + JSON.stringify({ v: 1, read: ['hello'] }),
};
const SETTING = [68, 42, 57, 100, 112, 0];

const SIZES = [
  [600, 300], [800, 400], [1200, 600], [1600, 800],
  [1000, 400], [700, 600],
];

function overlap(a, b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

describe('layout', () => {
  let browser;
  before(async () => {
    fs.mkdirSync(SHOTS, { recursive: true });
    browser = await launch_browser();
  });
  after(async () => { await browser.close(); });

  it('keeps every control whole and apart from 600 x 300 to 1600 x 800', async () => {
    const editor = await open_editor(browser, { plugin: { files: NEWS, values: [100, 100, 100, 100, 200, 1] } });
    for (const [width, height] of SIZES) {
      await editor.page.setViewportSize({ width, height });
      const scale = Math.min(width / 800, height / 400);
      const boxes = await editor.page.evaluate(() => {
        const pick = (selector) => Array.from(document.querySelectorAll(selector), (el) => {
          const r = el.getBoundingClientRect();
          // The news badge hangs off its button on purpose; texts must fit.
          const fits = selector === '#news-button' || el.scrollWidth <= el.clientWidth + 1;
          return { selector, x: r.x, y: r.y, width: r.width, height: r.height, fits };
        });
        return pick('.knob').concat(pick('.readout'), pick('.control-label'), pick('#footswitch'),
          pick('#news-button'), pick('.wordmark'), pick('.product-name'), pick('.maker'));
      });
      const size = `${width} x ${height}`;
      for (const box of boxes) {
        assert.ok(box.x >= 0 && box.y >= 0 && box.x + box.width <= width && box.y + box.height <= height,
          `${box.selector} leaves the window at ${size}`);
        assert.ok(box.fits, `${box.selector} text overflows at ${size}`);
      }
      for (let i = 0; i < boxes.length; i++) {
        for (let j = i + 1; j < boxes.length; j++) {
          assert.ok(!overlap(boxes[i], boxes[j]), `${boxes[i].selector} overlaps ${boxes[j].selector} at ${size}`);
        }
      }
      const knob = boxes.find((b) => b.selector === '.knob');
      assert.ok(Math.abs(knob.width - 116 * scale) < 1, `knob ${knob.width}px at ${size}`);
    }
    await editor.page.close();
  });

  it('writes screenshots at 800 x 400 and 1200 x 600', async () => {
    const editor = await open_editor(browser, { plugin: { files: NEWS, values: SETTING } });
    const page = editor.page;
    await wait_for(() => page.locator('#news-badge').isVisible(), 'the unread count');
    for (const [width, height] of [[800, 400], [1200, 600]]) {
      await page.setViewportSize({ width, height });
      await page.screenshot({ path: path.join(SHOTS, `editor-${width}x${height}.png`) });
    }
    await page.setViewportSize({ width: 800, height: 400 });
    await page.getByRole('button', { name: /^News/ }).click();
    await page.screenshot({ path: path.join(SHOTS, 'editor-800x400-news.png') });
    await page.close();

    // The same at twice the pixel ratio, to judge sharpness.
    const retina = await launch_browser({ device_scale_factor: 2 });
    const sharp = await open_editor(retina, { plugin: { files: NEWS, values: SETTING } });
    await sharp.page.screenshot({ path: path.join(SHOTS, 'editor-800x400@2x.png') });
    await retina.close();

    for (const name of ['editor-800x400.png', 'editor-1200x600.png']) {
      assert.ok(fs.statSync(path.join(SHOTS, name)).size > 10000, name);
    }
  });
});
