// The web build in a real browser: Debian's Chromium, driven by playwright-core, emulating a
// phone (390 x 844 at 3x, touch). The page's screen must be the native program's: the same
// view tree for the same steps, the same colours; it must work by touch and by a hardware
// keyboard, offline after the first visit, for a screen reader, and without a console error.
// Usage: node browser_test.mjs SITE-FOLDER NATIVE-ORVANE
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { existsSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { after, before, test } from 'node:test';
import { serveSite } from '../../scripts/lib/site_server.mjs';
import { launchChromium, watchConsole } from './engines.mjs';

const site = resolve(process.argv[2]);
const native = resolve(process.argv[3]);
const chromiumPath = '/usr/bin/chromium';
const phone = { width: 390, height: 844 };

if (!existsSync(chromiumPath)) {
  console.error(`FAIL: no Chromium at ${chromiumPath} (scripts/setup installs Debian's chromium)`);
  process.exit(1);
}

let server;
let browser;
let origin;

before(async () => {
  server = await serveSite(site);
  origin = server.origin;
  browser = await launchChromium();
});

after(async () => {
  await browser?.close();
  server?.close();
});

// A phone-emulated page in a locale (or another device), its console watched.
async function openPage(
  locale,
  device = { viewport: phone, deviceScaleFactor: 3, isMobile: true, hasTouch: true },
) {
  const context = await browser.newContext({ ...device, locale });
  const page = await context.newPage();
  page.complaints = watchConsole(page);
  await page.goto(origin);
  await page.waitForFunction(() => window.platformProgram);
  await nextFrame(page);
  return page;
}

// Waits for the page to have painted what the program last changed.
async function nextFrame(page) {
  await page.evaluate(
    () => new Promise((painted) => requestAnimationFrame(() => requestAnimationFrame(painted))),
  );
}

async function tree(page) {
  return page.evaluate(() => window.platformProgram.accessibilityTree());
}

function find(node, match) {
  if (match(node)) return node;
  for (const child of node.children) {
    const found = find(child, match);
    if (found) return found;
  }
  return null;
}

// Where a view is now, by its identifier or (a button) its title.
async function frameOf(page, name) {
  const node = find(
    await tree(page),
    (view) => view.identifier === name || (view.role === 'Button' && view.label === name),
  );
  return node?.frame;
}

// A finger's tap at the middle of a view, found by its identifier or, for a button, its title.
async function tap(page, name) {
  const frame = await frameOf(page, name);
  assert.ok(frame, `no view ${name} on the page`);
  const { x, y, width, height } = frame;
  await page.touchscreen.tap(x + width / 2, y + height / 2);
  await nextFrame(page);
}

// What the native program dumps, headless at the phone's size and density, after a script.
function nativeRun(locale, script, snapshot) {
  const result = spawnSync(
    native,
    [
      '--ui',
      'headless',
      '--size',
      '390x844',
      '--scale',
      '3',
      ...(snapshot ? ['--snapshot', snapshot] : []),
    ],
    {
      input: script,
      env: { ...process.env, LC_ALL: `${locale.replace('-', '_')}.UTF-8` },
      encoding: 'utf8',
    },
  );
  assert.equal(result.status, 0, result.stderr);
  return result.stdout;
}

// A pixel of a PNG file, through ImageMagick: [red, green, blue].
function pngPixel(file, x, y) {
  const result = spawnSync(
    'convert',
    [
      file,
      '-format',
      `%[fx:int(255*p{${x},${y}}.r)],%[fx:int(255*p{${x},${y}}.g)],%[fx:int(255*p{${x},${y}}.b)]`,
      'info:',
    ],
    { encoding: 'utf8' },
  );
  return result.stdout.split(',').map(Number);
}

// A pixel of what the page shows, from a screenshot: reading the canvas back would make
// the browser warn, and the page must not.
async function pagePixel(page, x, y) {
  const folder = mkdtempSync(join(tmpdir(), 'orvane-web-'));
  const file = join(folder, 'page.png');
  await page.screenshot({ path: file });
  const pixel = pngPixel(file, x, y);
  rmSync(folder, { recursive: true, force: true });
  return pixel;
}

const touches = ['wage', '1', '5', 'price', '1', '0', '0'];
const touchScript = 'tap wage\ntap 1\ntap 5\ntap price\ntap 1\ntap 0\ntap 0\n';

for (const locale of ['en-US', 'de-CH']) {
  test(`${locale}: by touch, the hours of the native program, its view tree and its colours`, async () => {
    const page = await openPage(locale);
    for (const name of touches.slice(0, 3)) await tap(page, name);

    // The keypad is up, with the bar on top: its colours, a field's and a badge's, as natively.
    const folder = mkdtempSync(join(tmpdir(), 'orvane-web-'));
    const shot = join(folder, 'native.png');
    nativeRun(locale, 'tap wage\ntap 1\ntap 5\n', shot);
    const view = await tree(page);
    const bar = find(view, (node) => node.role === 'Button' && node.label === 'Calculate');
    const wage = find(view, (node) => node.identifier === 'wage');
    const badge = wage.children[0];
    for (const [x, y, what] of [
      [bar.frame.x + 3, bar.frame.y + 3, 'the bar'],
      [wage.frame.x + wage.frame.width - 6, wage.frame.y + 6, 'a field'],
      [badge.frame.x + 2, badge.frame.y + 10, 'a badge'],
    ]) {
      const expected = pngPixel(shot, Math.round(x * 3), Math.round(y * 3));
      const actual = await pagePixel(page, Math.round(x * 3), Math.round(y * 3));
      actual.forEach((channel, index) =>
        assert.ok(
          Math.abs(channel - expected[index]) <= 1,
          `${what}: ${actual} on the page, ${expected} natively`,
        ),
      );
    }
    assert.deepEqual(
      await pagePixel(page, Math.round((bar.frame.x + 3) * 3), Math.round((bar.frame.y + 3) * 3)),
      [255, 151, 5],
    );
    rmSync(folder, { recursive: true, force: true });

    for (const name of touches.slice(3)) await tap(page, name);
    await tap(page, 'Calculate');
    const dump = await page.evaluate(() => window.platformProgram.dump());
    assert.match(dump, /#result \([^)]*\) "7"\n/);
    assert.doesNotMatch(dump, /UIKeyboard/, 'the keypad left after Calculate');
    assert.equal(dump, nativeRun(locale, `${touchScript}tap calculate\ndump\n`));
    assert.deepEqual(page.complaints, []);
    await page.context().close();
  });
}

test('by a hardware keyboard, the same', async () => {
  const page = await openPage('en-US');
  await page.keyboard.press('Tab');
  await page.keyboard.type('15');
  await page.keyboard.press('Tab');
  await page.keyboard.type('100');
  await page.keyboard.press('Enter');
  await nextFrame(page);
  assert.equal(
    await page.evaluate(() => window.platformProgram.dump()),
    nativeRun('en-US', 'tap wage\ntype 15\ntap price\ntype 100\ntap calculate\ndump\n'),
  );
  assert.deepEqual(page.complaints, []);
  await page.context().close();
});

test("the browser's focus follows the ring, and Tab leaves the page after its last", async () => {
  const page = await openPage('en-US');
  const focused = () =>
    page.evaluate(() => {
      const element = document.activeElement;
      return element?.closest('#mirror')
        ? (element.getAttribute('aria-label') ?? element.textContent)
        : null;
    });
  await page.keyboard.press('Tab');
  await nextFrame(page);
  assert.equal(await focused(), 'Your hourly wage');
  await page.keyboard.press('Tab');
  await nextFrame(page);
  assert.equal(await focused(), "The item's price");
  await page.keyboard.press('Tab');
  await nextFrame(page);
  assert.equal(await focused(), 'Clear calculator');
  await page.keyboard.press('Tab');
  await nextFrame(page);
  assert.equal(await focused(), null, 'Tab stayed in the page');
  assert.doesNotMatch(await page.evaluate(() => window.platformProgram.dump()), /UIKeyboard/);
  // A screen reader moves the browser's focus to the price: typing goes there.
  await page.focus('#mirror input[aria-label="The item\'s price"]');
  await nextFrame(page);
  await page.keyboard.type('5');
  await nextFrame(page);
  assert.match(await page.evaluate(() => window.platformProgram.dump()), /#price \([^)]*\) "5"\n/);
  assert.deepEqual(page.complaints, []);
  await page.context().close();
});

test('a second calculation with the same answer is announced again', async () => {
  const page = await openPage('en-US');
  const calculate = async (price) => {
    await page.keyboard.press('Escape');
    await page.keyboard.type('15');
    await page.keyboard.press('Tab');
    for (let i = 0; i < 6; i++) await page.keyboard.press('Backspace');
    await page.keyboard.type(price);
    await page.keyboard.press('Enter');
    await nextFrame(page);
  };
  await tap(page, 'clear');
  await calculate('1001');
  assert.equal(await page.locator('[role=status]').textContent(), '67 hours');
  await page.evaluate(() => {
    window.announced = 0;
    new MutationObserver((records) => {
      window.announced += records.length;
    }).observe(document.querySelector('[role=status]'), {
      childList: true,
      characterData: true,
      subtree: true,
    });
  });
  await tap(page, 'clear');
  await calculate('1002');
  assert.equal(await page.locator('[role=status]').textContent(), '67 hours');
  assert.ok((await page.evaluate(() => window.announced)) > 0, 'the region was not set again');
  assert.deepEqual(page.complaints, []);
  await page.context().close();
});

test('the page may be zoomed, and draws sharply at the zoomed scale', async () => {
  const page = await openPage('en-US');
  // Sharp from the start, though a phone's browser may first lay out a page 980 pixels wide.
  assert.equal(await page.evaluate(() => document.getElementById('screen').width), 390 * 3);
  const allowed = await page.evaluate(() => ({
    viewport: document.querySelector('meta[name=viewport]').content,
    touchAction: getComputedStyle(document.getElementById('screen')).touchAction,
  }));
  assert.doesNotMatch(allowed.viewport, /user-scalable=no|maximum-scale/);
  assert.equal(
    allowed.touchAction,
    'pinch-zoom',
    'a pinch zooms; a double tap and a drag are touches',
  );
  // What a pinch leaves: the page scaled up in the visual viewport.
  const cdp = await page.context().newCDPSession(page);
  await cdp.send('Emulation.setPageScaleFactor', { pageScaleFactor: 2 });
  await page.waitForFunction(() => window.visualViewport.scale > 1.5);
  await nextFrame(page);
  const { scale, canvasWidth } = await page.evaluate(() => ({
    scale: window.visualViewport.scale,
    canvasWidth: document.getElementById('screen').width,
  }));
  assert.ok(
    canvasWidth >= Math.round(390 * 3 * scale) - 2,
    `${canvasWidth} pixels across at ${scale}x`,
  );
  assert.deepEqual(page.complaints, []);
  await page.context().close();
});

test('offline after the first visit, and no request of its own', async () => {
  const page = await openPage('en-US');
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
  const network = [];
  page.context().on('request', (request) => network.push(request));
  await page.context().setOffline(true);
  await page.reload();
  await page.waitForFunction(() => window.platformProgram);
  await nextFrame(page);
  assert.deepEqual(await pagePixel(page, 15, 15), [28, 37, 65], 'the first frame is on screen');
  await tap(page, 'wage');
  await tap(page, '7');
  const failed = network.filter((request) => request.failure());
  assert.deepEqual(
    failed.map((request) => request.url()),
    [],
  );
  for (const request of network) {
    const response = await request.response();
    assert.ok(response?.fromServiceWorker(), `${request.url()} reached the network`);
  }
  assert.deepEqual(page.complaints, []);
  await page.context().close();
});

test('a screen reader finds labelled text boxes, buttons, and hears the hours', async () => {
  const page = await openPage('en-US');
  const cdp = await page.context().newCDPSession(page);
  const accessibility = async () => (await cdp.send('Accessibility.getFullAXTree')).nodes;
  const named = (nodes, role) =>
    nodes.filter((node) => node.role?.value === role).map((node) => node.name?.value);

  let nodes = await accessibility();
  assert.deepEqual(named(nodes, 'textbox'), ['Your hourly wage', "The item's price"]);
  assert.deepEqual(named(nodes, 'heading'), ['orvane']);
  assert.deepEqual(
    nodes.filter((node) => node.role?.value === 'textbox').map((node) => node.description?.value),
    ['$', '$'],
    'each box says its currency',
  );
  assert.ok(named(nodes, 'button').includes('Clear calculator'));
  for (const name of touches) await tap(page, name);
  nodes = await accessibility();
  for (const key of ['1', '0', '.', 'Delete', 'Calculate'])
    assert.ok(named(nodes, 'button').includes(key), key);
  await tap(page, 'Calculate');
  assert.equal(await page.locator('[role=status]').textContent(), '7 hours');
  nodes = await accessibility();
  assert.ok(
    nodes.some((node) => node.role?.value === 'status'),
    'a live region',
  );
  assert.ok(!named(nodes, 'button').includes('Calculate'), 'the bar left with the keypad');
  await tap(page, 'clear');
  assert.equal(await page.locator('[role=status]').textContent(), '');
  assert.deepEqual(page.complaints, []);
  await page.context().close();
});

// Wholly inside the viewport and above the bar on top of the keypad, while that is up.
async function assertInSight(page, name) {
  const frame = await frameOf(page, name);
  const bar = await frameOf(page, 'Calculate');
  const { width, height } = page.viewportSize();
  const bottom = bar ? bar.y : height;
  assert.ok(
    frame.x >= 0 &&
      frame.y >= 0 &&
      frame.x + frame.width <= width &&
      frame.y + frame.height <= bottom,
    `${name} at ${JSON.stringify(frame)}, the room ${width} x ${bottom}`,
  );
}

// A finger's drag, through the DevTools protocol (Playwright's touchscreen only taps).
async function drag(page, from, by) {
  const cdp = await page.context().newCDPSession(page);
  const at = (dy) => [{ x: from.x, y: from.y + dy }];
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: at(0) });
  for (let step = 1; step <= 5; step++) {
    await cdp.send('Input.dispatchTouchEvent', {
      type: 'touchMove',
      touchPoints: at((by * step) / 5),
    });
  }
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  await nextFrame(page);
}

const landscape = {
  viewport: { width: 844, height: 390 },
  deviceScaleFactor: 3,
  isMobile: true,
  hasTouch: true,
};

test('a phone turned sideways, by touch: each field in sight while edited, then the answer and Clear', async () => {
  const page = await openPage('en-US', landscape);
  for (const name of ['wage', '1', '5']) await tap(page, name);
  await assertInSight(page, 'wage');
  // The price lies under the keypad: a drag brings it up.
  await drag(page, { x: 300, y: 100 }, -120);
  await tap(page, 'price');
  await assertInSight(page, 'price');
  for (const name of ['1', '0', '0']) await tap(page, name);
  await assertInSight(page, 'price');
  await tap(page, 'Calculate');
  const result = await frameOf(page, 'result');
  const price = await frameOf(page, 'price');
  assert.ok(result.y >= price.y + price.height, 'the 7 lies below the price field, not on it');
  await drag(page, { x: 300, y: 300 }, -200);
  await assertInSight(page, 'result');
  await assertInSight(page, 'clear');
  assert.equal(await page.locator('[role=status]').textContent(), '7 hours');
  await tap(page, 'clear');
  assert.equal(await page.locator('[role=status]').textContent(), '');
  assert.deepEqual(page.complaints, []);
  await page.context().close();
});

test('a short desktop window, by keys: each field in sight while edited; the page keys scroll', async () => {
  const page = await openPage('en-US', { viewport: { width: 640, height: 400 } });
  await page.keyboard.press('Tab');
  await page.keyboard.type('15');
  await nextFrame(page);
  await assertInSight(page, 'wage');
  await page.keyboard.press('Tab');
  await page.keyboard.type('100');
  await nextFrame(page);
  await assertInSight(page, 'price');
  await page.keyboard.press('Enter');
  await page.keyboard.press('PageDown');
  await nextFrame(page);
  await assertInSight(page, 'result');
  await assertInSight(page, 'clear');
  await page.keyboard.press('PageUp');
  await nextFrame(page);
  await assertInSight(page, 'wage');
  // The wheel, over the content.
  await page.mouse.move(320, 200);
  await page.mouse.wheel(0, 400);
  await nextFrame(page);
  await assertInSight(page, 'clear');
  assert.deepEqual(page.complaints, []);
  await page.context().close();
});

test('a screen reader activating Clear under the keypad clears; the key beneath is not pressed', async () => {
  const page = await openPage('en-US', {
    viewport: { width: 375, height: 667 },
    deviceScaleFactor: 2,
    isMobile: true,
    hasTouch: true,
  });
  await page.keyboard.type('15');
  await page.keyboard.press('Tab');
  await page.keyboard.type('100');
  await page.keyboard.press('Enter');
  await tap(page, 'wage');
  await page.evaluate(() =>
    [...document.querySelectorAll('#mirror button')]
      .find((button) => button.textContent === 'Clear calculator')
      .click(),
  );
  await nextFrame(page);
  const dump = await page.evaluate(() => window.platformProgram.dump());
  assert.match(dump, /#wage \([^)]*\)\n/, 'the wage was emptied, not typed into');
  assert.match(dump, /UIKeyboard/, 'clearing leaves the keypad up');
  assert.deepEqual(page.complaints, []);
  await page.context().close();
});

test('text from an input method, dictation and a paste reaches the field being edited', async () => {
  const page = await openPage('en-US');
  await page.context().grantPermissions(['clipboard-read', 'clipboard-write'], { origin });
  await tap(page, 'wage');
  const editing = await page.evaluate(() => ({
    tag: document.activeElement.tagName,
    inputMode: document.activeElement.inputMode,
    fontSize: getComputedStyle(document.activeElement).fontSize,
  }));
  // 16px: a phone's browser zooms in on a focused box with smaller text.
  assert.deepEqual(
    editing,
    { tag: 'INPUT', inputMode: 'none', fontSize: '16px' },
    'an editable element that raises no keyboard and no zoom',
  );
  await page.keyboard.insertText('12');
  await nextFrame(page);
  await page.evaluate(() => navigator.clipboard.writeText('.5'));
  await page.keyboard.press('Control+V');
  await nextFrame(page);
  // An input method's composition: only its end is text.
  const cdp = await page.context().newCDPSession(page);
  await cdp.send('Input.imeSetComposition', { text: 'ｘ', selectionStart: 1, selectionEnd: 1 });
  await cdp.send('Input.insertText', { text: '0' });
  await nextFrame(page);
  const dump = await page.evaluate(() => window.platformProgram.dump());
  assert.match(dump, /#wage \([^)]*\) "12\.50"\n/);
  assert.equal(
    await page.evaluate(() => document.activeElement.value),
    '12.50',
    'the element follows the field',
  );
  assert.deepEqual(page.complaints, []);
  await page.context().close();
});

test('safe areas: nothing under a notch or a home indicator; a wide window keeps a readable column', async () => {
  const page = await openPage('en-US');
  const cdp = await page.context().newCDPSession(page);
  await cdp.send('Emulation.setSafeAreaInsetsOverride', {
    insets: { top: 47, bottom: 34, left: 0, right: 0 },
  });
  await page.evaluate(() => window.dispatchEvent(new Event('resize')));
  await tap(page, 'wage');
  let dump = await page.evaluate(() => window.platformProgram.dump());
  assert.match(dump, /UIScrollView #content \(0, 47, 390, 763\)/);
  assert.match(dump, /UIKeyboard \(0, [\d.]+, 390, [\d.]+\)/);
  const keyboard = dump.match(/UIKeyboard \(0, ([\d.]+), 390, ([\d.]+)\)/);
  assert.equal(
    Number(keyboard[1]) + Number(keyboard[2]),
    844 - 34,
    'the keypad sits above the home indicator',
  );
  await page.context().close();

  const wide = await openPage('en-US', { viewport: { width: 1280, height: 800 } });
  dump = await wide.evaluate(() => window.platformProgram.dump());
  assert.match(
    dump,
    /UIScrollView #content \(304, 0, 672, 800\)/,
    'a column 672 wide, in the middle',
  );
  assert.deepEqual(wide.complaints, []);
  await wide.context().close();
});

test("the keypad's delete key, held, deletes again and again until let go", async () => {
  const page = await openPage('en-US');
  await tap(page, 'wage');
  await page.keyboard.type('1234567890');
  const key = await frameOf(page, 'delete');
  const cdp = await page.context().newCDPSession(page);
  const touchPoints = [{ x: key.x + key.width / 2, y: key.y + key.height / 2 }];
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints });
  await page.waitForTimeout(1000);
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  await nextFrame(page);
  const wage = () =>
    page.evaluate(
      () => window.platformProgram.dump().match(/#wage \([^)]*\)(?: "(\d*)")?/)[1] ?? '',
    );
  const left = await wage();
  assert.ok(
    '1234567890'.startsWith(left) && left.length <= 6,
    `"${left}" left after a second's hold`,
  );
  await page.waitForTimeout(300);
  assert.equal(await wage(), left, 'let go, it stopped');
  assert.deepEqual(page.complaints, []);
  await page.context().close();
});
