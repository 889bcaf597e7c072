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

// The site's files, without the compressed copies stored beside them.
function files(folder) {
  return readdirSync(folder).flatMap((name) => {
    const path = join(folder, name);
    if (statSync(path).isDirectory()) return files(path);
    return /\.(br|gz)$/.test(name) ? [] : [path];
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

// Each page's figure taken once a run, each page taking each place in a run in turn, after
// one page not counted: a page's figure moves with the page before it (by 20 to 50 ms in
// Chromium and Firefox, one way or the other), and the first of a session is its start.
async function inTurn(count, warmUp, takers) {
  await warmUp();
  for (let run = 0; run < count; run++)
    for (let place = 0; place < takers.length; place++)
      await takers[(run + place) % takers.length]();
}

const figures = {
  wasmGzipped: gzipped(join(site, 'app.wasm')),
  siteGzipped: files(site).reduce((total, path) => total + gzipped(path), 0),
};
const starts = [];
const bares = [];
await inTurn(runs, () => startTime(`${origin}bare.html`, 'bare-first-frame'), [
  async () => starts.push(await startTime(origin, 'platform-first-frame')),
  async () => bares.push(await startTime(`${origin}bare.html`, 'bare-first-frame')),
]);
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

// A first visit on a slow phone network (1.6 Mbit/s down, 750 kbit/s up, 150 ms latency) and
// a four times slower processor: when the launch screen shows (the first contentful paint),
// when the working screen does, and the bytes that came before it (headers and the bodies,
// as sent: compressed). Then, installed, a repeat visit with the network off, beside a first
// visit on this machine's own network.
async function visit(into, throttled) {
  const tab = await into.newPage();
  if (throttled) {
    const session = await into.newCDPSession(tab);
    await session.send('Network.enable');
    await session.send('Network.emulateNetworkConditions', {
      offline: false,
      latency: 150,
      downloadThroughput: 1.6e6 / 8,
      uploadThroughput: 750e3 / 8,
    });
    await session.send('Emulation.setCPUThrottlingRate', { rate: 4 });
  }
  await tab.goto(origin, { waitUntil: 'commit' });
  await tab.waitForFunction(() => performance.getEntriesByName('platform-first-frame').length);
  const timing = await tab.evaluate(() => {
    const working = performance.getEntriesByName('platform-first-frame')[0].startTime;
    const entries = [
      ...performance.getEntriesByType('navigation'),
      ...performance.getEntriesByType('resource'),
    ];
    return {
      launch: performance.getEntriesByName('first-contentful-paint')[0]?.startTime ?? null,
      working,
      bytes: entries
        .filter((entry) => entry.responseEnd <= working)
        .reduce((total, entry) => total + entry.transferSize, 0),
      files: entries.filter((entry) => entry.responseEnd <= working).map((entry) => entry.name),
    };
  });
  return { tab, timing };
}

const slow = [];
for (let run = 0; run < 5; run++) {
  const slowContext = await browser.newContext(phone);
  slow.push((await visit(slowContext, true)).timing);
  await slowContext.close();
}
const byWorking = [...slow].sort((a, b) => a.working - b.working);
figures.slowVisit = {
  launch: median(slow.map((timing) => timing.launch)),
  working: median(slow.map((timing) => timing.working)),
  bytes: byWorking[2].bytes,
  files: byWorking[2].files.map((url) => new URL(url).pathname),
};

const firstVisits = [];
const repeatVisits = [];
for (let run = 0; run < 5; run++) {
  const visitContext = await browser.newContext(phone);
  const first = await visit(visitContext, false);
  firstVisits.push(first.timing.working);
  await first.tab.evaluate(() => navigator.serviceWorker.ready);
  await first.tab.close();
  await visitContext.setOffline(true);
  const repeat = await visit(visitContext, false);
  repeatVisits.push(repeat.timing.working);
  await visitContext.close();
}
figures.firstVisit = median(firstVisits);
figures.repeatVisit = median(repeatVisits);
await browser.close();

// Each engine's first frame beside a bare page's in the same engine, five of each, taken
// in turn in fresh pages; the launch screen's markup is not the first frame. Beside them,
// the bare page's rectangle drawn once the program has downloaded and compiled: what no
// start of this program can beat.
figures.engines = {};
for (const name of Object.keys(engines)) {
  if (missing(name)) {
    figures.engines[name] = { skipped: `skipped: ${missing(name)}` };
    continue;
  }
  const engine = await engines[name]();
  // The start times of marks in one fresh page, which nothing before it has cached or
  // installed: as few sessions as the figures need, since each of WebKit's is a browser
  // started anew.
  const marks = async (url, entries) => {
    const tab = await engine.newPage({ fresh: true });
    await tab.goto(url);
    const times = [];
    for (const entry of entries) {
      await tab.waitFor(`performance.getEntriesByName('${entry}').length > 0`);
      times.push(await tab.evaluate(`performance.getEntriesByName('${entry}')[0].startTime`));
    }
    await tab.close();
    return times;
  };
  const started = [];
  const launched = [];
  const bare = [];
  const bareLaunched = [];
  const compiled = [];
  await inTurn(5, () => marks(`${origin}bare.html`, ['bare-first-frame']), [
    async () => {
      const [frame, launch] = await marks(origin, [
        'platform-first-frame',
        'first-contentful-paint',
      ]);
      started.push(frame);
      launched.push(launch);
    },
    async () => {
      const [rectangle, painted] = await marks(`${origin}bare.html`, [
        'bare-first-frame',
        'first-contentful-paint',
      ]);
      bare.push(rectangle);
      bareLaunched.push(painted);
    },
    async () =>
      compiled.push((await marks(`${origin}bare.html?compiled`, ['bare-first-frame']))[0]),
  ]);
  figures.engines[name] = {
    firstFrame: median(started),
    launchScreen: median(launched),
    bareFirstFrame: median(bare),
    bareFirstPaint: median(bareLaunched),
    compiledFirstFrame: median(compiled),
  };
  await engine.close();
}
server.close();
console.log(JSON.stringify(figures));
