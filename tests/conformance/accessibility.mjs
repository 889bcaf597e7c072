// The browser's half of the accessibility conformance table: each row's steps made as a screen
// reader makes them on the page's mirror (moving the browser's focus, an input method's text,
// a click), in a fresh page of Debian's Chromium each, then what Chromium's accessibility tree
// tells, printed as JSON by row. The rows come as JSON on standard input, from
// accessibility.py, which checks them.
// Usage: node accessibility.mjs SITE-FOLDER < ROWS.json
import { existsSync, readFileSync } from 'node:fs';
import { resolve } from 'node:path';
import { serveSite } from '../../scripts/lib/site_server.mjs';
import { launchChromium } from '../web/engines.mjs';

if (!existsSync('/usr/bin/chromium')) {
  console.error("no Chromium at /usr/bin/chromium (scripts/setup installs Debian's chromium)");
  process.exit(1);
}

const rows = JSON.parse(readFileSync(0, 'utf8'));
const server = await serveSite(resolve(process.argv[2]));
const browser = await launchChromium();
const roles = new Set(['heading', 'textbox', 'button', 'status']);

const painted = (page) =>
  page.evaluate(
    () => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))),
  );

// The mirror's element a screen reader calls by that name.
function mirrorElement(page, name) {
  return page.evaluateHandle(
    (wanted) =>
      [...document.querySelectorAll('#mirror input, #mirror button')].find(
        (element) => (element.getAttribute('aria-label') ?? element.textContent) === wanted,
      ),
    name,
  );
}

async function step(page, [kind, target, text]) {
  const element = await mirrorElement(page, target);
  if (!(await element.evaluate((found) => Boolean(found))))
    throw new Error(`no element called ${target}`);
  if (kind === 'activate') {
    await element.evaluate((found) => found.click());
  } else {
    await element.evaluate((found) => found.focus());
    if (kind === 'set') {
      await painted(page);
      await page.keyboard.insertText(text);
    }
  }
  await painted(page);
}

async function told(page, cdp) {
  const { nodes } = await cdp.send('Accessibility.getFullAXTree');
  const status = await page.evaluate(
    () => document.querySelector('#mirror [role=status]')?.textContent ?? '',
  );
  const elements = nodes
    .filter((node) => !node.ignored && roles.has(node.role?.value))
    .map((node) => ({
      role: node.role.value,
      name: node.role.value === 'status' ? status : (node.name?.value ?? ''),
      description: node.description?.value ?? '',
      activatable: !(node.properties ?? []).some(
        (property) => property.name === 'disabled' && property.value.value,
      ),
    }));
  return { elements, announced: await page.evaluate(() => window.announced) };
}

const results = {};
try {
  for (const row of rows) {
    const context = await browser.newContext({
      viewport: { width: 375, height: 667 },
      hasTouch: true,
      locale: 'en-US',
    });
    const page = await context.newPage();
    await page.goto(server.origin);
    await page.waitForFunction(() => window.platformProgram);
    // Each new text of the live region is read out: counted as it comes.
    await page.evaluate(() => {
      window.announced = 0;
      new MutationObserver((records) => {
        for (const record of records) {
          for (const node of record.addedNodes) {
            if (
              node.nodeType === Node.TEXT_NODE &&
              node.data &&
              node.parentElement?.getAttribute('role') === 'status'
            )
              window.announced++;
          }
        }
      }).observe(document.getElementById('mirror'), { childList: true, subtree: true });
    });
    await painted(page);
    for (const each of row.steps) await step(page, each);
    const cdp = await context.newCDPSession(page);
    results[row.name] = await told(page, cdp);
    await context.close();
  }
} finally {
  await browser.close();
  server.close();
}
console.log(JSON.stringify(results));
