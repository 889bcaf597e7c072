// The three browser engines a phone's person may browse with, behind one small interface for
// the site's tests: Chromium (playwright-core), Firefox (puppeteer-core over WebDriver BiDi)
// and WebKit (WebKitGTK's MiniBrowser, through WebKitWebDriver under Xvfb). Each is Debian's
// own; nothing here downloads a browser.
import { execFile, spawn } from 'node:child_process';
import { existsSync, readFileSync } from 'node:fs';
import { createServer } from 'node:net';

// A key's name, as Playwright and puppeteer name keys ("Tab", "ArrowUp", " "), with the
// modifiers held with it before it ("Shift+Tab", "Control+c"): what each held, then the key.
const combination = (name) => {
  const parts = name === '+' ? ['+'] : name.split('+');
  return { held: parts.slice(0, -1), key: parts[parts.length - 1] };
};

// A page of one engine: go somewhere, run a function in it, press keys, type, tap, and the
// console errors and warnings it has shown.
class Page {
  async waitFor(source, timeout = 20000) {
    const deadline = Date.now() + timeout;
    while (!(await this.evaluate(source))) {
      if (Date.now() > deadline) throw new Error(`waited ${timeout} ms for ${source}`);
      await new Promise((resolved) => setTimeout(resolved, 50));
    }
  }

  // Two display frames: what the program last changed is on screen.
  painted() {
    return this.evaluate(
      'new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(() => done(true))))',
    );
  }
}

// The console errors and warnings, and the uncaught errors, of a playwright or puppeteer
// page, as they come.
export function watchConsole(page) {
  const complaints = [];
  page.on('console', (message) => {
    if (['error', 'warning', 'warn'].includes(message.type()))
      complaints.push(`${message.type()}: ${message.text()}`);
  });
  page.on('pageerror', (error) => complaints.push(`page error: ${error.message}`));
  return complaints;
}

class PlaywrightPage extends Page {
  // closing: what closes the page, where more than the page must go with it.
  constructor(page, closing = () => page.close()) {
    super();
    this.page = page;
    this.closing = closing;
    this.complaints = watchConsole(page);
  }

  goto(url) {
    return this.page.goto(url);
  }
  reload() {
    return this.page.reload();
  }
  evaluate(source) {
    return this.page.evaluate(source);
  }
  async press(name) {
    const { held, key } = combination(name);
    for (const modifier of held) await this.page.keyboard.down(modifier);
    await this.page.keyboard.press(key);
    for (const modifier of held.reverse()) await this.page.keyboard.up(modifier);
  }
  type(text) {
    return this.page.keyboard.type(text);
  }
  tap(x, y) {
    return this.page.touchscreen.tap(x, y);
  }
  // The mouse's wheel over a point, by pixels down.
  async wheel(x, y, pixels) {
    await this.page.mouse.move(x, y);
    await (this.page.setViewportSize
      ? this.page.mouse.wheel(0, pixels)
      : this.page.mouse.wheel({ deltaY: pixels }));
  }
  // Another window in front takes the focus (a window, not a tab, which would hide this
  // page); then this one is in front again. Puppeteer's pages only: Firefox's.
  async leave() {
    this.other = await this.page.browser().newPage({ type: 'window' });
    await this.other.bringToFront();
  }
  async comeBack() {
    await this.page.bringToFront();
    await this.other?.close();
  }
  // A short screen: a phone turned sideways.
  shorten(width, height) {
    return this.page.setViewportSize
      ? this.page.setViewportSize({ width, height })
      : this.page.setViewport({ width, height, hasTouch: true, isMobile: true });
  }
  close() {
    return this.closing();
  }
}

// Debian's Chromium through playwright-core, quiet: no background requests of its own.
export async function launchChromium() {
  const { chromium: engine } = await import('playwright-core');
  return engine.launch({
    executablePath: '/usr/bin/chromium',
    args: [
      '--no-sandbox',
      '--disable-gpu',
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
      '--no-first-run',
    ],
  });
}

async function chromium() {
  const browser = await launchChromium();
  return {
    async newPage() {
      const context = await browser.newContext({
        viewport: { width: 390, height: 844 },
        hasTouch: true,
        locale: 'en-US',
      });
      return new PlaywrightPage(await context.newPage(), () => context.close());
    },
    close: () => browser.close(),
  };
}

async function firefox() {
  const { default: puppeteer } = await import('puppeteer-core');
  const browser = await puppeteer.launch({
    browser: 'firefox',
    executablePath: '/usr/bin/firefox-esr',
    headless: true,
  });
  return {
    // fresh: in a context of its own, with no cache, storage or service worker of a page
    // before it (the others share the browser's, as a person's tabs do).
    async newPage({ width = 390, height = 844, fresh = false } = {}) {
      const owner = fresh ? await browser.createBrowserContext() : browser;
      const page = await owner.newPage();
      await page.setViewport({ width, height, hasTouch: true, isMobile: true });
      return new PlaywrightPage(page, fresh ? () => owner.close() : undefined);
    },
    close: () => browser.close(),
  };
}

const freePort = () =>
  new Promise((resolved) => {
    const server = createServer().listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolved(port));
    });
  });

const webDriverKeys = {
  Tab: '\uE004',
  Enter: '\uE007',
  Escape: '\uE00C',
  Backspace: '\uE003',
  Delete: '\uE017',
  ArrowUp: '\uE013',
  ArrowDown: '\uE015',
  PageUp: '\uE00E',
  PageDown: '\uE00F',
  Shift: '\uE008',
  Control: '\uE009',
};

// W3C WebDriver classic, as far as the tests need it.
class WebDriverPage extends Page {
  // display: the X display the browser shows on.
  constructor(endpoint, display) {
    super();
    this.endpoint = endpoint;
    this.display = display;
    // Classic WebDriver hears no console: what the page's own scripts report is collected in
    // the page by a hook the tests' server adds first thing (see serveWithConsoleHook).
    this.complaints = [];
  }

  async call(method, path, body) {
    const response = await fetch(`${this.endpoint}${path}`, {
      method,
      headers: { 'content-type': 'application/json' },
      body: body && JSON.stringify(body),
    });
    const { value } = await response.json();
    // Named with its command and script: a driver's own words ("Could not parse script
    // result") do not say which of a test's many calls they answer.
    if (value?.error) {
      const script = body?.script ? `: ${body.script.slice(0, 300)}` : '';
      throw new Error(`${value.error}: ${value.message} (${method} ${path}${script})`);
    }
    return value;
  }

  async goto(url) {
    await this.call('POST', '/url', { url });
  }

  reload() {
    return this.call('POST', '/refresh', {});
  }

  async evaluate(source) {
    const script = typeof source === 'function' ? `return (${source})()` : `return (${source})`;
    const value = await this.call('POST', '/execute/async', {
      script: `Promise.resolve((() => { ${script}; })()).then(arguments[0], (e) => arguments[0]({ thrown: String(e) }))`,
      args: [],
    });
    if (value?.thrown) throw new Error(value.thrown);
    return value;
  }

  async keys(actions) {
    await this.call('POST', '/actions', { actions: [{ type: 'key', id: 'keyboard', actions }] });
  }

  press(name) {
    const { held, key } = combination(name);
    const codes = [...held, key].map((part) => webDriverKeys[part] ?? part);
    return this.keys([
      ...codes.map((value) => ({ type: 'keyDown', value })),
      ...codes.reverse().map((value) => ({ type: 'keyUp', value })),
    ]);
  }

  // WebKitWebDriver hands the page each scroll's delta less the one sent before it (80 then
  // 40 arrives as 80 then -40), so what is sent is the running sum of the deltas wanted.
  wheel(x, y, pixels) {
    this.wheelSum = (this.wheelSum ?? 0) + pixels;
    return this.call('POST', '/actions', {
      actions: [
        {
          type: 'wheel',
          id: 'wheel',
          actions: [
            {
              type: 'scroll',
              x: Math.round(x),
              y: Math.round(y),
              deltaX: 0,
              deltaY: this.wheelSum,
            },
          ],
        },
      ],
    });
  }

  // A tool of the X display the browser shows on; its output.
  x(tool, ...words) {
    const environment = { ...process.env, DISPLAY: this.display };
    return new Promise((done, failed) =>
      execFile(tool, words, { env: environment }, (error, output) =>
        error ? failed(error) : done(output.trim()),
      ),
    );
  }

  // The X server's focus, which a window manager would give the browser's window: to the
  // newest of MiniBrowser's windows, this page's.
  async takeFocus() {
    const windows = await this.x('xdotool', 'search', '--onlyvisible', '--class', 'MiniBrowser');
    await this.x('xdotool', 'windowfocus', '--sync', windows.split('\n').at(-1));
  }

  // Another window in front takes the focus: with no window manager, the screen's root does.
  async leave() {
    const root = (await this.x('xwininfo', '-root')).match(/Window id: (0x[0-9a-f]+)/)[1];
    await this.x('xdotool', 'windowfocus', root);
  }

  comeBack() {
    return this.takeFocus();
  }

  type(text) {
    return this.keys(
      [...text].flatMap((character) => [
        { type: 'keyDown', value: character },
        { type: 'keyUp', value: character },
      ]),
    );
  }

  // WebKitGTK takes a touch pointer as the mouse.
  tap(x, y) {
    return this.call('POST', '/actions', {
      actions: [
        {
          type: 'pointer',
          id: 'finger',
          parameters: { pointerType: 'touch' },
          actions: [
            { type: 'pointerMove', x: Math.round(x), y: Math.round(y) },
            { type: 'pointerDown', button: 0 },
            { type: 'pointerUp', button: 0 },
          ],
        },
      ],
    });
  }

  async pageComplaints() {
    return (await this.evaluate('window.consoleComplaints ?? []')) ?? [];
  }

  // The window, and with it the page, made that size (the page a little shorter, under the
  // window's own bar).
  shorten(width, height) {
    return this.call('POST', '/window/rect', { width, height });
  }

  close() {
    return this.call('DELETE', '');
  }
}

async function webkit() {
  const display = await new Promise((resolved, failed) => {
    const xvfb = spawn(
      'Xvfb',
      ['-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
      { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] },
    );
    xvfb.stdio[3].once('data', (data) => resolved({ xvfb, name: `:${String(data).trim()}` }));
    xvfb.once('error', failed);
  });
  const port = await freePort();
  const driver = spawn('WebKitWebDriver', [`--port=${port}`], {
    env: { ...process.env, DISPLAY: display.name },
    stdio: 'ignore',
  });
  const root = `http://127.0.0.1:${port}`;
  for (let tries = 0; ; tries++) {
    try {
      await fetch(`${root}/status`);
      break;
    } catch (error) {
      if (tries > 100) throw error;
      await new Promise((resolved) => setTimeout(resolved, 100));
    }
  }
  const pages = [];
  return {
    async newPage({ width = 447, height = 844 } = {}) {
      const response = await fetch(`${root}/session`, {
        method: 'POST',
        headers: { 'content-type': 'application/json' },
        body: JSON.stringify({
          capabilities: {
            alwaysMatch: {
              'webkitgtk:browserOptions': {
                binary: '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser',
                args: ['--automation'],
              },
            },
          },
        }),
      });
      const { value } = await response.json();
      const page = new WebDriverPage(`${root}/session/${value.sessionId}`, display.name);
      // MiniBrowser's window is at least 447 pixels wide.
      await page.call('POST', '/window/rect', { width: Math.max(width, 447), height });
      pages.push(page);
      return page;
    },
    async close() {
      for (const page of pages) await page.close().catch(() => {});
      driver.kill();
      display.xvfb.kill();
    },
  };
}

export const engines = { chromium, firefox, webkit };

// Whether the engine's browser is installed here, and if not, what to install.
export function missing(engine) {
  const needs = {
    chromium: ['/usr/bin/chromium', 'chromium'],
    firefox: ['/usr/bin/firefox-esr', 'firefox-esr'],
    webkit: ['/usr/bin/WebKitWebDriver', 'webkit2gtk-driver'],
  }[engine];
  return existsSync(needs[0])
    ? null
    : `${needs[0]} is missing (scripts/setup installs ${needs[1]})`;
}

// A hook for engines whose driver hears no console: the page's console errors and warnings,
// and its uncaught errors, kept in window.consoleComplaints from the first moment.
export const consoleHook = `<script>window.consoleComplaints=[];for(const k of ['error','warn']){const f=console[k];
console[k]=(...a)=>{window.consoleComplaints.push(k+': '+a.join(' '));f.apply(console,a);};}
addEventListener('error',(e)=>window.consoleComplaints.push('page error: '+e.message));
addEventListener('unhandledrejection',(e)=>window.consoleComplaints.push('rejection: '+e.reason));</script>`;

export function withConsoleHook(indexFile) {
  return readFileSync(indexFile, 'utf8').replace('<head>', `<head>${consoleHook}`);
}
