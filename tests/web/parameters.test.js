'use strict';
// The six controls against the message protocol: what the page shows for
// the values it receives, and the gestures it sends for drags, clicks,
// wheel, keys and typed values.
const { describe, it, before, after, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const { launch_browser, open_editor, drag, center_of, take_until } = require('./editor_page');
const { value_message, parse_edit, float_bits } = require('../support/web/fake_plugin');

const KNOBS = [
  { name: 'Drive', index: 0, max: 100, def: 50 },
  { name: 'Tone', index: 1, max: 100, def: 50 },
  { name: 'Heat', index: 2, max: 100, def: 50 },
  { name: 'Mix', index: 3, max: 100, def: 100 },
  { name: 'Volume', index: 4, max: 200, def: 100 },
];

let browser;
let editor;
before(async () => { browser = await launch_browser(); });
after(async () => { await browser.close(); });
afterEach(async () => {
  if (!editor) return;
  assert.deepEqual(editor.errors, [], 'the page reported errors');
  assert.ok(editor.plugin.posted.every((m) => typeof m === 'string'), 'the page posted something other than a string');
  await editor.page.close();
  editor = null;
});

const slider = (name) => editor.page.getByRole('slider', { name, exact: true });
const footswitch = () => editor.page.getByRole('switch', { name: 'Bypass' });
const value_of = async (name) => Number(await slider(name).getAttribute('aria-valuenow'));
const readout_of = (index) => editor.page.locator(`.control[data-index="${index}"] .readout`).innerText();
const edits = (messages) => messages.map(parse_edit);
const gesture_e = (index) => (m) => m.startsWith('e ' + index.toString(16) + ' ');

async function deliver_and_settle(text) {
  await editor.plugin.deliver(text);
  await editor.page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => resolve())));
}

// Host values without a gesture, then a clean message log.
async function set_from_host(index, value) {
  await deliver_and_settle(value_message(index, value));
  editor.plugin.take();
}

describe('values from the plug-in', () => {
  it('posts "g" first and shows the values the plug-in answers with', async () => {
    editor = await open_editor(browser, { plugin: { values: [12.5, 0, 100, 33.25, 150, 1] } });
    assert.equal(editor.plugin.posted[0], 'g');
    assert.equal(editor.plugin.posted.filter((m) => m === 'g').length, 1);
    assert.deepEqual(
      await Promise.all(KNOBS.map((k) => value_of(k.name))),
      [12.5, 0, 100, 33.25, 150]);
    assert.equal(await footswitch().getAttribute('aria-checked'), 'true');
    // Showing values is no edit: nothing but "g" and the news request went out.
    assert.deepEqual(editor.plugin.posted.filter((m) => /^[bse] /.test(m)), []);
  });

  it('moves knobs, readouts and the footswitch to every value received', async () => {
    editor = await open_editor(browser);
    const cases = [
      // index, value, readout, aria value text
      [0, 12.5, '12.5 %', '12.5 %'],
      [1, 0, '0.0 %', '0.0 %'],
      [2, 100, '100.0 %', '100.0 %'],
      [3, 33.3, '33.3 %', '33.3 %'],
      [4, 100, '100.0 %\n0.0 dB', '100.0 %, 0.0 dB'],
      [4, 200, '200.0 %\n+24.0 dB', '200.0 %, +24.0 dB'],
      [4, 50, '50.0 %\n\u221212.0 dB', '50.0 %, \u221212.0 dB'],
      [4, 10, '10.0 %\n\u221221.6 dB', '10.0 %, \u221221.6 dB'],
      [4, 1, '1.0 %\n\u221243.2 dB', '1.0 %, \u221243.2 dB'],
      [4, 0.05, '0.1 %\n\u2212\u221e dB', '0.1 %, off'],
      [4, 0, '0.0 %\n\u2212\u221e dB', '0.0 %, off'],
      [4, 250, '200.0 %\n+24.0 dB', '200.0 %, +24.0 dB'],
      [0, -3, '0.0 %', '0.0 %'],
    ];
    for (const [index, value, readout, text] of cases) {
      await set_from_host(index, value);
      const name = KNOBS[index].name;
      assert.equal(await readout_of(index), readout, `${name} ${value}`);
      assert.equal(await slider(name).getAttribute('aria-valuetext'), text, `${name} ${value}`);
    }

    // The pointer turns through 270 degrees, from -135 at the minimum to 135.
    const pointer = editor.page.locator('.control[data-index="0"] .knob svg > g').last();
    await set_from_host(0, 0);
    assert.match(await pointer.getAttribute('transform'), /^rotate\(-135\.000 /);
    await set_from_host(0, 100);
    assert.match(await pointer.getAttribute('transform'), /^rotate\(135\.000 /);

    for (const [value, checked, lit] of [[1, 'true', false], [0, 'false', true]]) {
      await set_from_host(5, value);
      assert.equal(await footswitch().getAttribute('aria-checked'), checked);
      assert.equal(await editor.page.locator('#lamp').evaluate((el) => el.classList.contains('is-lit')), lit);
    }

    // Malformed or out-of-range value messages change nothing.
    await set_from_host(1, 40);
    for (const text of ['s 00000006 42480000', 's 1 42480000', 's 00000001 4248', 'x 00000001 42480000']) {
      await deliver_and_settle(text);
    }
    assert.equal(await value_of('Tone'), 40);
  });
});

describe('drags', () => {
  it('frame a drag as b, s for every change, then e, within each range', async () => {
    editor = await open_editor(browser);
    for (const knob of KNOBS) {
      await set_from_host(knob.index, knob.max / 2);
      for (const [dy, end, rising] of [[-600, knob.max, true], [700, 0, false]]) {
        await drag(editor.page, slider(knob.name), dy, { steps: 30 });
        const messages = await take_until(editor, gesture_e(knob.index), `${knob.name} e`);
        const parsed = edits(messages);
        assert.equal(parsed[0].tag, 'b', knob.name);
        assert.equal(parsed.at(-1).tag, 'e', knob.name);
        assert.ok(parsed.slice(1, -1).every((p) => p.tag === 's'), `${knob.name}: ${messages}`);
        assert.ok(parsed.length > 5, `${knob.name}: a drag of ${dy}px sent only ${messages}`);
        assert.ok(parsed.every((p) => p.index === knob.index));
        const values = parsed.map((p) => p.value);
        assert.ok(values.every((v) => v >= 0 && v <= knob.max), `${knob.name} out of range: ${values}`);
        for (let i = 1; i < values.length - 1; i++) {
          assert.ok(rising ? values[i] > values[i - 1] : values[i] < values[i - 1], `${knob.name} not monotonic: ${values}`);
        }
        assert.equal(values.at(-1), values.at(-2), 'e carries the last value');
        assert.equal(values.at(-1), end, knob.name);
        assert.equal(await value_of(knob.name), end);
      }
    }
  });

  it('a press without movement sends nothing', async () => {
    editor = await open_editor(browser);
    editor.plugin.take();
    const point = await center_of(slider('Heat'));
    await editor.page.mouse.click(point.x, point.y);
    await editor.page.waitForTimeout(100);
    assert.deepEqual(editor.plugin.take(), []);
  });

  it('keeps dragging when the pointer leaves the knob', async () => {
    editor = await open_editor(browser);
    const start = await center_of(slider('Drive'));
    await editor.page.mouse.move(start.x, start.y);
    await editor.page.mouse.down();
    // Far up and to the right, over the Tone knob and beyond.
    await editor.page.mouse.move(start.x + 200, start.y - 60, { steps: 10 });
    await editor.page.mouse.up();
    const parsed = edits(await take_until(editor, gesture_e(0), 'Drive e'));
    assert.ok(parsed.every((p) => p.index === 0));
    assert.equal(parsed.at(-1).value, Math.fround(50 + (60 / 240) * 100));
  });

  it('Shift makes a drag ten times finer, also when pressed during the drag', async () => {
    editor = await open_editor(browser);
    await drag(editor.page, slider('Tone'), -60);
    await take_until(editor, gesture_e(1), 'Tone e');
    const coarse = (await value_of('Tone')) - 50;

    await set_from_host(1, 50);
    await drag(editor.page, slider('Tone'), -60, { shift: true });
    await take_until(editor, gesture_e(1), 'Tone e');
    const fine = (await value_of('Tone')) - 50;
    assert.ok(coarse > 20, `coarse ${coarse}`);
    assert.ok(Math.abs(fine - coarse / 10) < 0.05, `fine ${fine} against coarse ${coarse}`);

    // Half the way coarse, then Shift: no jump, and the second half is fine.
    await set_from_host(1, 50);
    await drag(editor.page, slider('Tone'), -60, { hold: () => editor.page.keyboard.down('Shift') });
    await editor.page.keyboard.up('Shift');
    const values = edits(await take_until(editor, gesture_e(1), 'Tone e')).map((p) => p.value);
    const steps = values.slice(1).map((v, i) => v - values[i]);
    assert.ok(steps.every((d) => d >= 0 && d < coarse / 10 + 0.01), `jumped: ${values}`);
    assert.ok(Math.abs(values.at(-1) - 50 - (coarse / 2 + coarse / 20)) < 0.2, `ended at ${values.at(-1)}`);
  });

  it('shows the user\'s value while a drag is open, whatever the host echoes', async () => {
    editor = await open_editor(browser, { plugin: { echo: true } });
    let during;
    await drag(editor.page, slider('Drive'), -120, {
      steps: 12,
      hold: async () => {
        during = await value_of('Drive');
        // A late echo of the first value and an unrelated value in between.
        await editor.plugin.deliver(value_message(0, 50));
        await editor.plugin.deliver(value_message(0, 10));
        await editor.page.waitForTimeout(50);
        assert.equal(await value_of('Drive'), during, 'an echo moved the knob under the pointer');
      },
    });
    const values = edits(await take_until(editor, gesture_e(0), 'Drive e')).map((p) => p.value);
    assert.ok(during > 50);
    assert.ok(values.every((v, i) => i === 0 || v >= values[i - 1]), `the drag went back: ${values}`);
    assert.equal(values.at(-1), 100);
    await editor.plugin.delivery;
    assert.equal(await value_of('Drive'), 100);
    // Once the drag is over, host values show again.
    await set_from_host(0, 30);
    assert.equal(await value_of('Drive'), 30);
  });
});

describe('the footswitch', () => {
  it('toggles Bypass between 0 and 1 with one b/e per press, by pointer or key', async () => {
    editor = await open_editor(browser);
    editor.plugin.take();
    await drag(editor.page, footswitch(), -10, { steps: 5 });
    assert.deepEqual(await take_until(editor, gesture_e(5), 'Bypass e'),
      ['b 5 3f800000', 'e 5 3f800000']);
    assert.equal(await footswitch().getAttribute('aria-checked'), 'true');
    await footswitch().click();
    assert.deepEqual(await take_until(editor, gesture_e(5), 'Bypass e'),
      ['b 5 00000000', 'e 5 00000000']);
    await footswitch().focus();
    await editor.page.keyboard.press('Space');
    assert.deepEqual(await take_until(editor, gesture_e(5), 'Bypass e'),
      ['b 5 3f800000', 'e 5 3f800000']);
    await editor.page.keyboard.press('Enter');
    assert.deepEqual(await take_until(editor, gesture_e(5), 'Bypass e'),
      ['b 5 00000000', 'e 5 00000000']);
    assert.ok(editor.plugin.values[5] === 0);
  });
});

describe('single changes', () => {
  it('double-click resets each knob to its default in one b/e gesture', async () => {
    editor = await open_editor(browser);
    for (const knob of KNOBS) {
      await set_from_host(knob.index, 7);
      await slider(knob.name).dblclick();
      const bits = float_bits(knob.def);
      assert.deepEqual(await take_until(editor, gesture_e(knob.index), `${knob.name} e`),
        [`b ${knob.index} ${bits}`, `e ${knob.index} ${bits}`], knob.name);
      assert.equal(await value_of(knob.name), knob.def);
    }
  });

  it('Tab reaches every control in order, and keys step the focused one', async () => {
    editor = await open_editor(browser);
    const order = [];
    for (let i = 0; i < 7; i++) {
      await editor.page.keyboard.press('Tab');
      order.push(await editor.page.evaluate(() => document.activeElement.getAttribute('aria-label')
        || document.activeElement.textContent.trim()
        || document.getElementById(document.activeElement.getAttribute('aria-labelledby')).textContent));
    }
    assert.deepEqual(order, ['Drive', 'Tone', 'Heat', 'Mix', 'Volume', 'Bypass', 'News']);

    await slider('Drive').focus();
    editor.plugin.take();
    const steps = [
      ['ArrowUp', 51], ['ArrowRight', 52], ['Shift+ArrowUp', 52.1], ['Shift+ArrowUp', 52.2],
      ['ArrowDown', 52], ['ArrowLeft', 51], ['PageUp', 60], ['PageUp', 70], ['PageDown', 60],
      ['End', 100], ['ArrowUp', null], ['Home', 0], ['ArrowDown', null], ['Delete', 50],
    ];
    for (const [key, expected] of steps) {
      await editor.page.keyboard.press(key);
      if (expected === null) {
        await editor.page.waitForTimeout(50);
        assert.deepEqual(editor.plugin.take(), [], `${key} at the end of the range`);
        continue;
      }
      const bits = float_bits(expected);
      assert.deepEqual(await take_until(editor, gesture_e(0), key), [`b 0 ${bits}`, `e 0 ${bits}`], key);
    }
    await slider('Volume').focus();
    await editor.page.keyboard.press('End');
    assert.deepEqual(await take_until(editor, gesture_e(4), 'Volume e'),
      [`b 4 ${float_bits(200)}`, `e 4 ${float_bits(200)}`]);
  });

  it('a wheel turn is one gesture that ends after a pause', async () => {
    editor = await open_editor(browser);
    editor.plugin.take();
    const point = await center_of(slider('Mix'));
    await editor.page.mouse.move(point.x, point.y);
    for (const delta of [100, 100, -100, 100]) await editor.page.mouse.wheel(0, delta);
    const messages = await take_until(editor, gesture_e(3), 'Mix e');
    assert.deepEqual(messages, ['b 3 ' + float_bits(99), 's 3 ' + float_bits(98), 's 3 ' + float_bits(99),
      's 3 ' + float_bits(98), 'e 3 ' + float_bits(98)]);
  });

  it('takes typed values on the readout or after Enter, in % or for Volume in dB', async () => {
    editor = await open_editor(browser);
    const page = editor.page;
    const entry = page.locator('.readout-entry');
    const cases = [
      // how to open, control, typed, value sent (null: nothing sent)
      ['readout', 0, '75', 75],
      ['enter', 0, '12,5 %', 12.5],
      ['enter', 0, '-3', 0],
      ['enter', 0, 'loud', null],
      ['readout', 4, '-6 dB', 75],
      ['enter', 4, '+24dB', 200],
      ['enter', 4, '250', 200],
      ['enter', 4, '-30 dB', 100 * 0.01 / (30 / 24 - 0.8)],
      ['enter', 4, 'off', 0],
    ];
    for (const [how, index, typed, sent] of cases) {
      const name = KNOBS[index].name;
      await set_from_host(index, index === 4 ? 110 : 40);
      if (how === 'readout') {
        await page.locator(`.control[data-index="${index}"] .readout`).dblclick();
      } else {
        await slider(name).focus();
        await page.keyboard.press('Enter');
      }
      await entry.fill(typed);
      await entry.press('Enter');
      await page.waitForTimeout(30);
      assert.equal(await entry.count(), 0);
      assert.equal(await page.evaluate(() => document.activeElement.getAttribute('role')), 'slider');
      if (sent === null) {
        assert.deepEqual(editor.plugin.take(), [], typed);
        assert.equal(await value_of(name), 40);
        continue;
      }
      const bits = float_bits(sent);
      assert.deepEqual(await take_until(editor, gesture_e(index), typed),
        [`b ${index} ${bits}`, `e ${index} ${bits}`], typed);
    }

    // Escape leaves the value alone.
    await set_from_host(2, 40);
    await slider('Heat').focus();
    await page.keyboard.press('Enter');
    await entry.fill('90');
    await entry.press('Escape');
    await page.waitForTimeout(30);
    assert.deepEqual(editor.plugin.take(), []);
    assert.equal(await value_of('Heat'), 40);
  });
});
