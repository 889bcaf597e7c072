// Takes a picture of the site as a phone's browser shows it (Debian's Chromium, 390 x 844
// points at 2x, touch), after a calculation by touch.
// Usage: node web_screenshot.mjs SITE-FOLDER OUTPUT.png
import { resolve } from 'node:path';
import { serveSite } from './site_server.mjs';
import { launchChromium } from '../../tests/web/engines.mjs';

const [site, output] = [resolve(process.argv[2]), resolve(process.argv[3])];
const server = await serveSite(site);
const browser = await launchChromium();
const context = await browser.newContext({
  viewport: { width: 390, height: 844 },
  deviceScaleFactor: 2,
  isMobile: true,
  hasTouch: true,
  locale: 'en-US',
});
const page = await context.newPage();
await page.goto(server.origin);
await page.waitForFunction(() => performance.getEntriesByName('platform-first-frame').length > 0);
const find = async (name) =>
  page.evaluate((wanted) => {
    const search = (node) =>
      node.identifier === wanted || (node.role === 'Button' && node.label === wanted)
        ? node
        : node.children.map(search).find(Boolean);
    return search(window.platformProgram.accessibilityTree()).frame;
  }, name);
for (const name of ['wage', '1', '5', 'price', '1', '0', '0', 'Calculate']) {
  const { x, y, width, height } = await find(name);
  await page.touchscreen.tap(x + width / 2, y + height / 2);
  await page.evaluate(
    () => new Promise((painted) => requestAnimationFrame(() => requestAnimationFrame(painted))),
  );
}
await page.screenshot({ path: output });
await browser.close();
server.close();
