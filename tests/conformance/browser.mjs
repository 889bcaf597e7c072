// The browsers' half of the conformance table: each behaviour's steps in a fresh page of one
// of Debian's browser engines, 375 x 667 with touch (WebKitGTK's window is 447 wide at least),
// as keys, typed text, touches, the wheel and the focus going to another tab and back; prints
// each behaviour's view tree afterwards, as JSON by name. The steps and the keys' names in
// Playwright's words come as JSON on standard input, from conformance.py, which checks them.
// Usage: node browser.mjs chromium|firefox|webkit SITE-FOLDER < STEPS.json
import { cpSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { serveSite } from '../../scripts/lib/site_server.mjs';
import { engines, launchChromium, missing, withConsoleHook } from '../web/engines.mjs';

const [engineName, siteFolder] = process.argv.slice(2);
if (missing(engineName)) {
  console.log(missing(engineName));
  process.exit(77);
}

// The browser's pixels for a line of the wheel: the toolkit's line, as a browser that counts
// in pixels would send it.
const pixelsPerLine = 40;
const size = { width: 375, height: 667 };
const { keys, table } = JSON.parse(readFileSync(0, 'utf8'));
// The site as served; for an engine whose driver hears no console, with a hook that does.
const site = mkdtempSync(join(tmpdir(), 'site-'));
cpSync(resolve(siteFolder), site, { recursive: true });
if (engineName === 'webkit')
  writeFileSync(join(site, 'index.html'), withConsoleHook(join(site, 'index.html')));
const server = await serveSite(site);

const centerOf = async (page, identifier) => {
  const frame = await page.evaluate(`(() => {
    const search = (node) => node.identifier === ${JSON.stringify(identifier)}
      ? node : node.children.map(search).find(Boolean);
    return search(window.platformProgram.accessibilityTree())?.frame;
  })()`);
  if (!frame) throw new Error(`no view ${identifier} on the page`);
  return [frame.x + frame.width / 2, frame.y + frame.height / 2];
};

const focused = (wanted) => `document.hasFocus() === ${wanted}`;

// Chromium through Playwright, at twice the pixels with a phone's touch, the focus a tab's
// only while it is in front (no focus emulation). Playwright's wheel under an emulated scale
// reaches the page divided by that scale (40 arrives as 20 at 2x), so it is sent multiplied.
async function chromiumPages() {
  const scale = 2;
  const browser = await launchChromium();
  return {
    async open() {
      const context = await browser.newContext({
        viewport: size,
        deviceScaleFactor: scale,
        hasTouch: true,
        locale: 'en-US',
      });
      const page = await context.newPage();
      return {
        goto: (url) => page.goto(url),
        evaluate: (source) => page.evaluate(source),
        // Polled by time: a page behind another may draw no frames to poll at.
        waitFor: (source) => page.waitForFunction(source, null, { polling: 100 }),
        painted: () =>
          page.evaluate(
            () => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))),
          ),
        press: (key) => page.keyboard.press(key),
        type: (text) => page.keyboard.type(text),
        tap: (x, y) => page.touchscreen.tap(x, y),
        async wheel(x, y, pixels) {
          await page.mouse.move(x, y);
          await page.mouse.wheel(0, pixels * scale);
        },
        // Once the page is loaded (a load turns Playwright's emulation on again).
        async takeFocus() {
          const devtools = await context.newCDPSession(page);
          await devtools.send('Emulation.setFocusEmulationEnabled', { enabled: false });
          await page.bringToFront();
        },
        leave: async () => (await context.newPage()).bringToFront(),
        comeBack: () => page.bringToFront(),
        close: () => context.close(),
      };
    },
    close: () => browser.close(),
  };
}

// Firefox and WebKit through engines.mjs, a fresh page each.
async function enginePages() {
  const browser = await engines[engineName]();
  return { open: () => browser.newPage(size), close: () => browser.close() };
}

const pages = engineName === 'chromium' ? await chromiumPages() : await enginePages();
const dumps = {};
try {
  for (const { name, steps } of table) {
    const page = await pages.open();
    await page.goto(server.origin);
    await page.waitFor('!!window.platformProgram');
    // The page in front, with the focus: where no window manager gives the browser's window
    // the focus, the driver does.
    await page.takeFocus?.();
    await page.waitFor(focused(true));
    for (const [kind, value] of steps) {
      if (kind === 'key') await page.press(keys[value]);
      else if (kind === 'text') await page.type(value);
      else if (kind === 'wheel') {
        await page.wheel(...(await centerOf(page, value[0])), value[1] * pixelsPerLine);
      } else if (kind === 'focus') {
        await (value === 'leave' ? page.leave() : page.comeBack());
        await page.waitFor(focused(value === 'return'));
      } else await page.tap(...(await centerOf(page, value)));
      await page.painted();
    }
    dumps[name] = await page.evaluate('window.platformProgram.dump()');
    await page.close();
  }
} finally {
  await pages.close();
  server.close();
  rmSync(site, { recursive: true, force: true });
}
console.log(JSON.stringify(dumps));
