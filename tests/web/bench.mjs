// Measures the web build in Debian's Chromium, phone-emulated, and prints the figures as
// JSON for bench/report.py: the sizes a phone downloads, the start to the first frame beside
// a bare page that draws one rectangle (the same browser, the same run), a tap to its
// painted frame, and what painting one frame costs.
// Usage: node bench.mjs SITE-FOLDER
import { readFileSync, readdirSync, statSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { gzipSync } from 'node:zlib';
import { serveSite } from '../../scripts/lib/site_server.mjs';
import { engines, launchChromium, missing } from './engines.mjs';

const site = resolve(process.argv[2]);
const here = dirname(fileURLToPath(import.meta.url));
const runs = 15;

function files(folder) {
  return readdirSync(folder).flatMap((name) => {
    const path = join(folder, name);
    return statSync(path).isDirectory() ? files(path) : [path];
  });
}

const gzipped = (path) => gzipSync(readFileSync(path), { level: 9 }).length;
const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];

const server = await serveSite(site, { extra: { '/bare.html': join(here, 'bare.html') } });
const { origin } = server;
const browser = await launchChromium();
const phone = {
  viewport: { width: 390, height: 844 },
  deviceScaleFactor: 3,
  isMobile: true,
  hasTouch: true,
};

// Milliseconds from the start of navigation to a mark, in a fresh context each time.
async function startTime(url, mark) {
  const context = await browser.newContext(phone);
  const page = await context.newPage();
  await page.goto(url);
  await page.waitForFunction((name) => performance.getEntriesByName(name).length > 0, mark);
  const time = await page.evaluate((name) => performance.getEntriesByName(name)[0].startTime, mark);
  await context.close();
  return time;
}

const figures = {
  wasmGzipped: gzipped(join(site, 'app.wasm')),
  siteGzipped: files(site).reduce((total, path) => total + gzipped(path), 0),
};
const starts = [];
const bares = [];
for (let run = 0; run < runs; run++) {
  starts.push(await startTime(origin, 'platform-first-frame'));
  bares.push(await startTime(`${origin}bare.html`, 'bare-first-frame'));
}
figures.firstFrame = median(starts);
figures.bareFirstFrame = median(bares);

// A tap's touch-down to the frame it changed, painted; and one frame's painting.
const context = await browser.newContext(phone);
const page = await context.newPage();
await page.goto(origin);
await page.waitForFunction(() => performance.getEntriesByName('platform-first-frame').length > 0);
const fields = await page.evaluate(() => {
  const find = (node, name) =>
    node.identifier === name ? node : node.children.map((child) => find(child, name)).find(Boolean);
  const tree = window.platformProgram.accessibilityTree();
  return [find(tree, 'wage').frame, find(tree, 'price').frame];
});
const tapToFrame = [];
for (let run = 0; run < runs; run++) {
  await page.evaluate(() => {
    window.tapTimes = {};
    addEventListener(
      'pointerdown',
      () => {
        window.tapTimes.down = performance.now();
      },
      { capture: true, once: true },
    );
    addEventListener(
      'platform-frame',
      () => {
        window.tapTimes.frame = performance.now();
      },
      { once: true },
    );
  });
  // Alternately into one field and the other, so that every tap changes the screen.
  const { x, y, width, height } = fields[run % 2];
  await page.touchscreen.tap(x + width / 2, y + height / 2);
  await page.waitForFunction(() => window.tapTimes.frame !== undefined);
  tapToFrame.push(await page.evaluate(() => window.tapTimes.frame - window.tapTimes.down));
}
figures.tapToFrame = median(tapToFrame);
figures.displayFrame = await page.evaluate(
  () =>
    new Promise((measured) => {
      const times = [];
      const tick = (time) =>
        times.push(time) < 30 ? requestAnimationFrame(tick) : measured((times[29] - times[0]) / 29);
      requestAnimationFrame(tick);
    }),
);
figures.paint = median(
  await page.evaluate(() =>
    performance.getEntriesByName('platform-paint').map((entry) => entry.duration),
  ),
);
await browser.close();

// Each engine's first frame beside a bare page's in the same engine, five of each, taken
// alternately in fresh pages; the launch screen's markup is not the first frame. Beside them,
// the bare page's rectangle drawn once the program has downloaded and compiled: what no
// start of this program can beat.
figures.engines = {};
for (const name of Object.keys(engines)) {
  if (missing(name)) {
    figures.engines[name] = { skipped: `skipped: ${missing(name)}` };
    continue;
  }
  const engine = await engines[name]();
  const mark = async (url, entry) => {
    const tab = await engine.newPage();
    await tab.goto(url);
    await tab.waitFor(`performance.getEntriesByName('${entry}').length > 0`);
    const time = await tab.evaluate(`performance.getEntriesByName('${entry}')[0].startTime`);
    await tab.close();
    return time;
  };
  const started = [];
  const bare = [];
  const compiled = [];
  for (let run = 0; run < 5; run++) {
    started.push(await mark(origin, 'platform-first-frame'));
    bare.push(await mark(`${origin}bare.html`, 'bare-first-frame'));
    compiled.push(await mark(`${origin}bare.html?compiled`, 'bare-first-frame'));
  }
  figures.engines[name] = {
    firstFrame: median(started),
    bareFirstFrame: median(bare),
    compiledFirstFrame: median(compiled),
  };
  await engine.close();
}
server.close();
console.log(JSON.stringify(figures));
