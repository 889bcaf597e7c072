// The site in one browser engine, as a person uses it: the calculation by touch and by keys,
// the live region a screen reader hears, a reload with the server gone, one download of the
// program on a first visit, and no console error or warning throughout.
// Usage: node engines_test.mjs chromium|firefox|webkit SITE-FOLDER
import assert from 'node:assert/strict';
import { cpSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { after, before, test } from 'node:test';
import { serveSite } from '../../scripts/lib/site_server.mjs';
import { engines, missing, withConsoleHook } from './engines.mjs';

const [engineName, siteFolder] = process.argv.slice(2);
if (missing(engineName)) {
  console.log(`SKIP: ${missing(engineName)}`);
  process.exit(77);
}

// The site as served; for an engine whose driver hears no console, with a hook that does.
const site = mkdtempSync(join(tmpdir(), 'site-'));
cpSync(resolve(siteFolder), site, { recursive: true });
if (engineName === 'webkit')
  writeFileSync(join(site, 'index.html'), withConsoleHook(join(site, 'index.html')));

let browser;
before(async () => {
  browser = await engines[engineName]();
});
after(async () => {
  await browser?.close();
  rmSync(site, { recursive: true, force: true });
});

async function open(server) {
  const page = await browser.newPage();
  await page.goto(server.origin);
  await page.waitFor('!!window.platformProgram');
  await page.painted();
  return page;
}

async function complaints(page) {
  return [...page.complaints, ...(page.pageComplaints ? await page.pageComplaints() : [])];
}

const result = (page) =>
  page.evaluate(
    "window.platformProgram.dump().split('\\n').find((line) => line.includes('#result '))",
  );
const liveRegion = (page) => page.evaluate("document.querySelector('[role=status]')?.textContent");

// A tap at the middle of a view, by its identifier or, for a button, its title.
async function tap(page, name) {
  const frame = await page.evaluate(`(() => {
    const search = (node) => (node.identifier === ${JSON.stringify(name)}
      || (node.role === 'Button' && node.label === ${JSON.stringify(name)}) ? node : node.children.map(search).find(Boolean));
    return search(window.platformProgram.accessibilityTree())?.frame;
  })()`);
  assert.ok(frame, `no view ${name}`);
  await page.tap(frame.x + frame.width / 2, frame.y + frame.height / 2);
  await page.painted();
}

test(`${engineName}: by touch, seven hours for 15 and 100, and the live region says so`, async () => {
  const server = await serveSite(site);
  const page = await open(server);
  for (const name of ['wage', '1', '5', 'price', '1', '0', '0', 'Calculate']) await tap(page, name);
  assert.match(await result(page), /"7"$/);
  assert.equal(await liveRegion(page), '7 hours');
  assert.deepEqual(await complaints(page), []);
  await page.close();
  server.close();
});

// Wholly in the viewport and above the keypad's bar, while that is up.
async function assertInSight(page, name) {
  const placed = await page.evaluate(`(() => {
    const search = (node, match) => match(node) ? node : node.children.map((child) => search(child, match)).find(Boolean);
    const tree = window.platformProgram.accessibilityTree();
    const frame = search(tree, (node) => node.identifier === ${JSON.stringify(name)})?.frame;
    const bar = search(tree, (node) => node.role === 'Button' && node.label === 'Calculate')?.frame;
    return { frame, bottom: bar ? bar.y : window.innerHeight, width: window.innerWidth };
  })()`);
  const { frame, bottom, width } = placed;
  assert.ok(
    frame.y >= 0 &&
      frame.x >= 0 &&
      frame.y + frame.height <= bottom &&
      frame.x + frame.width <= width,
    `${name} at ${JSON.stringify(frame)}, the room ${width} x ${bottom}`,
  );
}

test(`${engineName}: on a short screen, each field in sight while edited; Page Down reaches Clear`, async () => {
  const server = await serveSite(site);
  const page = await open(server);
  await page.shorten(667, 375);
  await page.painted();
  await page.press('Tab');
  await page.type('15');
  await page.painted();
  await assertInSight(page, 'wage');
  await page.press('Tab');
  await page.type('100');
  await page.painted();
  await assertInSight(page, 'price');
  await page.press('Enter');
  await page.press('PageDown');
  await page.painted();
  assert.match(await result(page), /"7"$/);
  await assertInSight(page, 'clear');
  assert.deepEqual(await complaints(page), []);
  await page.close();
  server.close();
});

test(`${engineName}: by keys, the same`, async () => {
  const server = await serveSite(site);
  const page = await open(server);
  await page.press('Tab');
  await page.type('15');
  await page.press('Tab');
  await page.type('100');
  await page.press('Enter');
  await page.painted();
  assert.match(await result(page), /"7"$/);
  assert.equal(await liveRegion(page), '7 hours');
  assert.deepEqual(await complaints(page), []);
  await page.close();
  server.close();
});

test(`${engineName}: a first visit downloads the program once, and a reload without the server still runs`, async () => {
  const server = await serveSite(site);
  const page = await open(server);
  await page.waitFor('navigator.serviceWorker.controller !== null');
  await page.waitFor(
    `(async () => { const r = await navigator.serviceWorker.getRegistration(); return !r.installing && !r.waiting; })()`,
  );
  // Once for the page, once for the worker, which checks it with the server.
  assert.ok(
    server.served.filter((path) => path === '/app.wasm').length <= 2,
    server.served.join(' '),
  );
  server.close();
  await page.reload();
  await page.waitFor('!!window.platformProgram');
  await page.painted();
  await tap(page, 'wage');
  await tap(page, '7');
  assert.match(
    await page.evaluate(
      "window.platformProgram.dump().split('\\n').find((line) => line.includes('#wage '))",
    ),
    /"7"$/,
  );
  assert.deepEqual(await complaints(page), []);
  await page.close();
});
