// How the site reaches a person, in Debian's Chromium: any server's content types, a program
// missing or broken, a new build reaching a phone that installed the old one, what shows
// before the program runs, and what a home screen and an install dialog are given.
// Usage: node delivery_test.mjs SITE-FOLDER
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import {
  cpSync,
  existsSync,
  mkdtempSync,
  readFileSync,
  rmSync,
  utimesSync,
  writeFileSync,
} from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { after, before, test } from 'node:test';
import { serveSite } from '../../scripts/lib/site_server.mjs';
import { launchChromium, watchConsole } from './engines.mjs';

const site = resolve(process.argv[2]);
const chromiumPath = '/usr/bin/chromium';
if (!existsSync(chromiumPath)) {
  console.error(`FAIL: no Chromium at ${chromiumPath} (scripts/setup installs Debian's chromium)`);
  process.exit(1);
}

let browser;
const folders = [];
before(async () => {
  browser = await launchChromium();
});
// Servers of tests that may stop halfway: one left listening would keep the run from ending.
const servers = [];
after(async () => {
  for (const server of servers) server.close();
  await browser?.close();
  for (const folder of folders) rmSync(folder, { recursive: true, force: true });
});

// A copy of the site to change.
function siteCopy() {
  const folder = mkdtempSync(join(tmpdir(), 'site-'));
  folders.push(folder);
  cpSync(site, folder, { recursive: true });
  return folder;
}

async function openPage(origin) {
  const context = await browser.newContext({
    viewport: { width: 390, height: 844 },
    hasTouch: true,
  });
  const page = await context.newPage();
  page.complaints = watchConsole(page);
  await page.goto(origin);
  return page;
}

const started = (page) =>
  page.waitForFunction(() => window.platformProgram, null, { timeout: 20000 });
const failure = async (page) => {
  await page.waitForSelector('#failure:not([hidden])', { timeout: 20000 });
  return page.locator('#failure').textContent();
};

test('a server that calls the program application/octet-stream still serves it', async () => {
  const server = await serveSite(site, { types: { '.wasm': 'application/octet-stream' } });
  const page = await openPage(server.origin);
  await started(page);
  assert.deepEqual(page.complaints, []);
  await page.context().close();
  server.close();
});

test('a missing or damaged program is said in a sentence, with what to try', async () => {
  for (const [damage, expected] of [
    [
      (folder) => rmSync(join(folder, 'app.wasm')),
      /could not be downloaded: the server answered 404.*app\.wasm.*Reload/,
    ],
    [
      (folder) => writeFileSync(join(folder, 'app.wasm'), 'not a program'),
      /is damaged and cannot run\. Reload/,
    ],
  ]) {
    const folder = siteCopy();
    damage(folder);
    const server = await serveSite(folder);
    const page = await openPage(server.origin);
    assert.match(await failure(page), expected);
    assert.doesNotMatch(
      await page.locator('#failure').textContent(),
      /TypeError|Failed to execute/,
    );
    await page.context().close();
    server.close();
  }
});

test('a new build reaches an installed site within three navigations, though the old files look fresh', async () => {
  const folder = siteCopy();
  // Files dated a month back: the HTTP cache holds them as fresh for days.
  const server = await serveSite(folder, {
    lastModified: new Date(Date.now() - 30 * 24 * 3600 * 1000),
  });
  servers.push(server);
  const page = await openPage(server.origin);
  await started(page);
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
  await page.reload();
  await started(page);

  // What a rebuild with a changed page script deploys: the page, and a worker of a new version.
  const index = readFileSync(join(folder, 'index.html'), 'utf8');
  writeFileSync(
    join(folder, 'index.html'),
    index.replace('</body>', '<script>window.newBuild = true;</script>\n</body>'),
  );
  const worker = readFileSync(join(folder, 'sw.js'), 'utf8');
  writeFileSync(
    join(folder, 'sw.js'),
    worker.replace(/const version = '([^']*)'/, "const version = '$1-next'"),
  );
  let arrived = false;
  for (let navigation = 0; navigation < 3 && !arrived; navigation++) {
    server.served.length = 0;
    await page.reload();
    await started(page);
    arrived = await page.evaluate(() => window.newBuild === true);
    if (arrived) break;
    // Meanwhile the page asks for its worker's script again, and a new worker installs; it
    // waits to take over at the next start, and the old one passes the next navigation on.
    for (let waited = 0; !server.served.includes('/sw.js') && waited < 100; waited++)
      await page.waitForTimeout(100);
    const installed = () =>
      page.evaluate(async () => {
        const registration = await navigator.serviceWorker.getRegistration();
        return registration.waiting !== null && registration.installing === null;
      });
    for (let waited = 0; !(await installed()) && waited < 100; waited++)
      await page.waitForTimeout(100);
  }
  assert.ok(arrived, 'the changed page script never ran');
  // Closed and started again, as a phone's app is: the new version has taken over, and serves
  // the next start by itself, with the server gone.
  const context = page.context();
  await page.close();
  const tookOver = async () => {
    for (const running of context.serviceWorkers()) {
      if (await running.evaluate(() => self.registration.waiting === null).catch(() => false))
        return true;
    }
    return false;
  };
  for (let waited = 0; !(await tookOver()) && waited < 100; waited++)
    await new Promise((done) => setTimeout(done, 100));
  const next = await context.newPage();
  await next.goto(server.origin);
  await started(next);
  assert.equal(await next.evaluate(() => window.newBuild), true);
  await next.waitForFunction(() => navigator.serviceWorker.controller !== null);
  assert.equal(
    await next.evaluate(async () => (await navigator.serviceWorker.getRegistration()).waiting),
    null,
    'the new version took over',
  );
  server.close();
  await next.reload();
  await started(next);
  assert.equal(await next.evaluate(() => window.newBuild), true, 'offline, the new version starts');
  await context.close();
});

test('each file is sent compressed as stored beside it, and a stale copy never', async () => {
  const server = await serveSite(site);
  servers.push(server);
  const get = (path, encoding) =>
    fetch(new URL(path, server.origin), { headers: { 'accept-encoding': encoding } });
  for (const path of ['index.html', 'app.wasm', 'sw.js']) {
    for (const [accepted, sent] of [
      ['gzip, deflate, br', 'br'],
      ['gzip', 'gzip'],
      ['identity', null],
    ]) {
      const response = await get(path, accepted);
      assert.equal(response.headers.get('content-encoding'), sent, `${path} for ${accepted}`);
      assert.ok(
        Buffer.from(await response.arrayBuffer()).equals(readFileSync(join(site, path))),
        `${path} arrives whole for ${accepted}`,
      );
    }
  }
  // A page changed after its copies were made is sent as it now is.
  const folder = siteCopy();
  const changed = 'changed after its copies were made';
  const copy = await serveSite(folder);
  servers.push(copy);
  const past = new Date(Date.now() - 60_000);
  utimesSync(join(folder, 'index.html.br'), past, past);
  utimesSync(join(folder, 'index.html.gz'), past, past);
  writeFileSync(join(folder, 'index.html'), `<!-- ${changed} -->`);
  const response = await fetch(copy.origin, { headers: { 'accept-encoding': 'br, gzip' } });
  assert.equal(response.headers.get('content-encoding'), null);
  assert.equal(await response.text(), `<!-- ${changed} -->`);
});

test("a first visit waits for the faces' first files only; the rest follow, and the screen is drawn again", async () => {
  const server = await serveSite(site);
  servers.push(server);
  // English draws nothing past the first files; Polish draws its currency, "zł", with a
  // letter from a second file, which comes at once, and the screen is drawn again with it.
  for (const [locale, fetchedFirst] of [
    ['en-US', ['/fonts/inter-400.woff2', '/fonts/inter-600.woff2', '/fonts/inter-700.woff2']],
    [
      'pl-PL',
      [
        '/fonts/inter-400-more.woff2',
        '/fonts/inter-400.woff2',
        '/fonts/inter-600.woff2',
        '/fonts/inter-700.woff2',
      ],
    ],
  ]) {
    const context = await browser.newContext({ viewport: { width: 390, height: 844 }, locale });
    await context.addInitScript(() => {
      window.fontsLoaded = [];
      window.framesPainted = [];
      document.fonts.addEventListener('loadingdone', () =>
        window.fontsLoaded.push(performance.now()),
      );
      addEventListener('platform-frame', () => window.framesPainted.push(performance.now()));
    });
    const page = await context.newPage();
    const complaints = watchConsole(page);
    await page.goto(server.origin);
    await started(page);
    // A file is listed among the page's resources only once it has arrived: a file asked for
    // before the first frame may arrive after it.
    await page.waitForFunction(() => [...document.fonts].every((face) => face.status === 'loaded'));
    const beforeFirstFrame = await page.evaluate(() => {
      const firstFrame = performance.getEntriesByName('platform-first-frame')[0].startTime;
      return performance
        .getEntriesByType('resource')
        .filter((entry) => entry.name.includes('/fonts/') && entry.startTime < firstFrame)
        .map((entry) => new URL(entry.name).pathname)
        .sort();
    });
    assert.deepEqual(beforeFirstFrame, fetchedFirst, locale);
    await page.waitForFunction(() => window.framesPainted.at(-1) > window.fontsLoaded.at(-1));
    assert.deepEqual(complaints, []);
    await context.close();
  }
});

test("a face's first file missing or damaged leaves its texts to another face; the program starts", async () => {
  for (const [fault, spoil] of [
    ['missing', (file) => rmSync(file)],
    ['damaged', (file) => writeFileSync(file, 'not a font')],
  ]) {
    const folder = siteCopy();
    spoil(join(folder, 'fonts/inter-600.woff2'));
    const server = await serveSite(folder);
    servers.push(server);
    const page = await openPage(server.origin);
    await started(page);
    await page.waitForFunction(() => performance.getEntriesByName('platform-first-frame').length);
    assert.equal(await page.locator('#failure').isHidden(), true, fault);
    // Besides the browser's own word of a 404 or of a font it could not read, the page's one
    // warning, naming the file.
    const said = page.complaints.filter(
      (line) =>
        !/Failed to load resource|OTS parsing error|Failed to decode downloaded font/.test(line),
    );
    assert.equal(said.length, 1, `${fault}: ${said}`);
    assert.match(said[0], /^warning: fonts\/inter-600\.woff2 could not be loaded/);
    await page.context().close();
  }
});

test("the launch screen shows the title in the screen's colours before the program runs, where its first frame draws it", async () => {
  const server = await serveSite(site);
  servers.push(server);
  const context = await browser.newContext({ viewport: { width: 390, height: 844 } });
  const page = await context.newPage();
  let release;
  const held = new Promise((resolved) => {
    release = resolved;
  });
  await page.route('**/app.wasm', async (route) => {
    await held;
    await route.continue();
  });
  await page.goto(server.origin);
  assert.equal(await page.evaluate(() => window.platformProgram), undefined);
  // The title and its line, drawn in outline in their own colours on the screen's.
  const launch = page.locator('#launch');
  assert.equal(await launch.textContent(), '');
  assert.deepEqual(
    await launch
      .locator('path')
      .evaluateAll((paths) => paths.map((path) => path.getAttribute('fill'))),
    ['#FFFFFF', '#AEB9D6'],
  );
  assert.equal(
    await page.evaluate(() => getComputedStyle(document.body).backgroundColor),
    'rgb(28, 37, 65)',
  );
  const folder = mkdtempSync(join(tmpdir(), 'orvane-launch-'));
  folders.push(folder);
  const top = { x: 0, y: 0, width: 390, height: 120 };
  const shots = { launch: join(folder, 'launch.png'), frame: join(folder, 'frame.png') };
  await page.screenshot({ path: shots.launch, clip: top });
  release();
  await started(page);
  await page.waitForFunction(() => !document.getElementById('launch'));
  await page.screenshot({ path: shots.frame, clip: top });
  // Pixels (of 46,800) unlike the screen's colour, and unlike the first frame's.
  const differing = (...images) =>
    Number(
      spawnSync('compare', ['-metric', 'AE', '-fuzz', '25%', ...images, 'null:'], {
        encoding: 'utf8',
      }).stderr.trim(),
    );
  const screenColour = join(folder, 'screen.png');
  spawnSync('convert', ['-size', '390x120', 'xc:rgb(28,37,65)', screenColour]);
  const drawn = differing(shots.launch, screenColour);
  assert.ok(drawn > 1000, `the title and its line are drawn (${drawn} pixels)`);
  // Outlines and the canvas's text differ at some edges of letters (about 240 pixels here);
  // the texts a pixel off their places would differ by 1,300 or more.
  const moved = differing(shots.launch, shots.frame);
  assert.ok(moved < 700, `the first frame draws them in place (${moved} pixels differ)`);
  await context.close();
});

// A pixel of a PNG file, through ImageMagick: [red, green, blue, alpha].
function pngPixel(file, x, y) {
  const channels = ['r', 'g', 'b', 'a']
    .map((channel) => `%[fx:int(255*p{${x},${y}}.${channel})]`)
    .join(',');
  return spawnSync('convert', [file, '-format', channels, 'info:'], { encoding: 'utf8' })
    .stdout.split(',')
    .map(Number);
}

// What Info.plist gives, read by the build's own reader.
function infoString(key) {
  const reader = new URL('../../platform/Foundation/Tools/info_plist.py', import.meta.url);
  const plist = new URL('../../orvane/Resources/Info.plist', import.meta.url);
  const read = spawnSync('python3', [reader.pathname, plist.pathname, key], { encoding: 'utf8' });
  assert.equal(read.status, 0, read.stderr);
  return read.stdout.trim();
}

test('a home screen and an install dialog get an id, full-bleed icons and screenshots', () => {
  const manifest = JSON.parse(readFileSync(join(site, 'manifest.webmanifest'), 'utf8'));
  assert.equal(manifest.id, './');
  // The application's name, on the home screen and the page's tab.
  const name = infoString('CFBundleName');
  assert.equal(manifest.name, name);
  assert.equal(manifest.short_name, name);
  assert.match(
    readFileSync(join(site, 'index.html'), 'utf8'),
    new RegExp(`<title>${name}</title>`),
  );
  const maskable = manifest.icons.find((icon) => icon.purpose === 'maskable');
  assert.ok(maskable, 'a maskable icon');
  for (const icon of [maskable.src, 'apple-touch-icon.png']) {
    // Opaque in every corner, in the screen's colour: nothing for a phone to fill with black.
    const size = Number(
      spawnSync('identify', ['-format', '%w', join(site, icon)], { encoding: 'utf8' }).stdout,
    );
    for (const [x, y] of [
      [0, 0],
      [size - 1, 0],
      [0, size - 1],
      [size - 1, size - 1],
    ]) {
      assert.deepEqual(
        pngPixel(join(site, icon), x, y),
        [28, 37, 65, 255],
        `${icon} at ${x}, ${y}`,
      );
    }
  }
  // The drawing keeps inside the maskable safe zone, the central circle of 80 %: the ring
  // between 80 % and the edge is all background.
  for (const [x, y] of [
    [256, 52],
    [52, 256],
    [460, 256],
    [256, 460],
    [110, 110],
  ]) {
    assert.deepEqual(
      pngPixel(join(site, maskable.src), x, y),
      [28, 37, 65, 255],
      `maskable at ${x}, ${y}`,
    );
  }
  assert.ok(manifest.screenshots.length >= 1);
  for (const picture of manifest.screenshots) {
    const size = spawnSync('identify', ['-format', '%wx%h', join(site, picture.src)], {
      encoding: 'utf8',
    }).stdout;
    assert.equal(picture.sizes, size);
    assert.equal(picture.form_factor, 'narrow');
  }
});
