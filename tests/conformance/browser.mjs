// The browser's half of the conformance table: each behaviour's steps in a fresh page of
// Debian's Chromium, 375 x 667 with touch, as keys, typed text and touches; prints each
// behaviour's view tree afterwards, as JSON by name. The steps and the keys' names in
// Playwright's words come as JSON on standard input, from conformance.py, which checks them.
// Usage: node browser.mjs SITE-FOLDER < STEPS.json
import { existsSync, readFileSync } from 'node:fs';
import { resolve } from 'node:path';
import { serveSite } from '../../scripts/lib/site_server.mjs';
import { launchChromium } from '../web/engines.mjs';

const chromiumPath = '/usr/bin/chromium';
if (!existsSync(chromiumPath)) {
  console.log(`no Chromium at ${chromiumPath} (scripts/setup installs Debian's chromium)`);
  process.exit(77);
}

// The browser's pixels for a line of the wheel: the toolkit's line, as a browser that counts
// in pixels would send it. Chromium hands the page a wheel that Playwright sends under an
// emulated scale divided by that scale (40 arrives as 20 at 2x), so it is sent multiplied.
const pixelsPerLine = 40;
const scale = 2;
const { keys, table } = JSON.parse(readFileSync(0, 'utf8'));
const server = await serveSite(resolve(process.argv[2]));
const browser = await launchChromium();

const painted = (page) =>
  page.evaluate(
    () => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))),
  );

async function centerOf(page, identifier) {
  const frame = await page.evaluate((wanted) => {
    const search = (node) =>
      node.identifier === wanted ? node : node.children.map(search).find(Boolean);
    return search(window.platformProgram.accessibilityTree())?.frame;
  }, identifier);
  if (!frame) throw new Error(`no view ${identifier} on the page`);
  return [frame.x + frame.width / 2, frame.y + frame.height / 2];
}

const dumps = {};
try {
  for (const { name, steps } of table) {
    const context = await browser.newContext({
      viewport: { width: 375, height: 667 },
      deviceScaleFactor: scale,
      hasTouch: true,
      locale: 'en-US',
    });
    const page = await context.newPage();
    // The page has the focus only while it is in front, as in a browser a person uses.
    const devtools = await context.newCDPSession(page);
    await devtools.send('Emulation.setFocusEmulationEnabled', { enabled: false });
    await page.goto(server.origin);
    await page.waitForFunction(() => window.platformProgram);
    for (const [kind, value] of steps) {
      if (kind === 'key') await page.keyboard.press(keys[value]);
      else if (kind === 'focus') {
        // Another tab in front takes the focus; this one in front again takes it back.
        if (value === 'leave') await (await context.newPage()).bringToFront();
        else await page.bringToFront();
        await page.waitForFunction((wanted) => document.hasFocus() === wanted, value === 'return');
      } else if (kind === 'text') await page.keyboard.type(value);
      else if (kind === 'wheel') {
        await page.mouse.move(...(await centerOf(page, value[0])));
        await page.mouse.wheel(0, value[1] * pixelsPerLine * scale);
      } else await page.touchscreen.tap(...(await centerOf(page, value)));
      await painted(page);
    }
    dumps[name] = await page.evaluate(() => window.platformProgram.dump());
    await context.close();
  }
} finally {
  await browser.close();
  server.close();
}
console.log(JSON.stringify(dumps));
