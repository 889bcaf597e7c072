// The page around the program: it starts it at the viewport's size in the browser's
// language, feeds it touches and keys, paints a frame only when the program says the screen
// changed, mirrors the screen into elements a screen reader reads, and installs the site to
// run offline.
import { listenForInput } from './input.mjs';
import { AccessibilityMirror } from './mirror.mjs';
import { CanvasPainter } from './painter.mjs';
import { Program } from './program.mjs';
import { UIApplicationState } from './schema.mjs';

const canvas = document.getElementById('screen');
const painter = new CanvasPainter(canvas);

// The browser's languages as the program reads them: the first as its locale ("de-CH":
// de_CH.UTF-8), all of them in order as the languages to fall back on when one names no
// country ("eo" has none).
function localeEnvironment() {
  const languages = navigator.languages?.length
    ? navigator.languages
    : [navigator.language || 'en-US'];
  const names = languages.map((language) => language.replaceAll('-', '_'));
  return { LANG: `${names[0]}.UTF-8`, LANGUAGE: names.join(':') };
}

// The viewport, with what a phone's notch and home indicator cover of it (the page's CSS
// reads env(safe-area-inset-*) into custom properties).
function viewport() {
  const style = getComputedStyle(document.documentElement);
  const inset = (side) => parseFloat(style.getPropertyValue(`--safe-${side}`)) || 0;
  // Zoomed in by a pinch, the canvas has as many more pixels, so that the zoomed screen is
  // sharp; its backing store stays within what every browser allocates.
  const zoom = window.visualViewport?.scale || 1;
  const largestSide = 8192;
  const pixelRatio = Math.min(
    (window.devicePixelRatio || 1) * zoom,
    largestSide / Math.max(window.innerWidth, window.innerHeight, 1),
  );
  return {
    width: window.innerWidth,
    height: window.innerHeight,
    pixelRatio,
    safeArea: {
      top: inset('top'),
      left: inset('left'),
      bottom: inset('bottom'),
      right: inset('right'),
    },
  };
}

function showFailure(message) {
  const failure = document.getElementById('failure');
  failure.textContent = message;
  failure.hidden = false;
}

// A failure to load the program, said in a sentence a person can act on.
class LoadFailure extends Error {}

// The program, compiled while it downloads where the server calls it application/wasm (the
// page's head started both), and from its bytes where the server does not (many send
// application/octet-stream).
async function compileProgram() {
  const early = window.platformProgramCompiled ?? Promise.resolve({ module: null });
  let response;
  try {
    response = await (window.platformProgramDownload ?? fetch('app.wasm'));
  } catch {
    throw new LoadFailure(
      'The program could not be downloaded. Check the connection, then reload the page.',
    );
  }
  if (!response.ok) {
    throw new LoadFailure(
      `The program could not be downloaded: the server answered ${response.status} ` +
        `${response.statusText} for app.wasm. Reload the page; if this persists, the site was not copied whole.`,
    );
  }
  try {
    const { module, error } = await early;
    if (error) throw error;
    return module ?? (await WebAssembly.compile(await response.arrayBuffer()));
  } catch (error) {
    throw new LoadFailure(
      'The program (app.wasm) is damaged and cannot run. Reload the page; if this persists, ' +
        `copy the site to the server again. (${error.message})`,
    );
  }
}

let program = null;
let mirror = null;
let frameRequested = false;
let firstFramePainted = false;
const stderr = [];

// After anything that may change the screen: one frame, at the display's next.
function requestFrame() {
  if (frameRequested) return;
  frameRequested = true;
  requestAnimationFrame(() => {
    frameRequested = false;
    paintFrame();
  });
}

function paintFrame() {
  const list = program.takeFrameIfChanged();
  if (!list) return;
  // Marked for the benchmarks: when the first frame is on screen, what a frame costs.
  const started = performance.now();
  painter.paint(list);
  performance.measure('platform-paint', { start: started, end: performance.now() });
  if (!firstFramePainted) {
    firstFramePainted = true;
    document.getElementById('launch')?.remove();
    performance.mark('platform-first-frame');
  }
  mirror.update(program.accessibilityTree());
  window.dispatchEvent(new CustomEvent('platform-frame'));
}

// After each call: the program's next timer, if it has one, is waited for.
let timer = null;
function scheduleTimers() {
  clearTimeout(timer);
  const wait = program.timeUntilNextTimer();
  timer = wait === null ? null : setTimeout(() => drive(() => program.fireTimers()), wait);
}

// Runs a call into the program; a fatal error there stops the page with its message.
function drive(call) {
  try {
    call();
    scheduleTimers();
    requestFrame();
  } catch (error) {
    showFailure(stderr.join('\n') || String(error));
    throw error;
  }
}

function sameViewport(one, other) {
  return JSON.stringify(one) === JSON.stringify(other);
}

// The browser's input, its viewport and the page's life cycle, from the start on. size: the
// viewport the program started at.
function listen(size) {
  mirror = new AccessibilityMirror(document.getElementById('mirror'), program, drive);
  listenForInput({ canvas, mirror: mirror.root, program, drive });
  const resize = () => {
    const resized = viewport();
    painter.resize(resized.width, resized.height, resized.pixelRatio);
    drive(() => program.resize(resized));
  };
  window.addEventListener('resize', resize);
  window.visualViewport?.addEventListener('resize', resize);
  // A change while the program started went unheard.
  if (!sameViewport(viewport(), size)) resize();
  // Hidden, the page is in the background; shown but without the focus (another window in
  // front, the address bar), it is inactive, as a window that lost the focus is.
  const applicationState = () =>
    document.visibilityState !== 'visible'
      ? UIApplicationState.Background
      : document.hasFocus()
        ? UIApplicationState.Active
        : UIApplicationState.Inactive;
  const lifeCycleStep = () => drive(() => program.setApplicationState(applicationState()));
  document.addEventListener('visibilitychange', lifeCycleStep);
  window.addEventListener('focus', lifeCycleStep);
  window.addEventListener('blur', lifeCycleStep);
}

// The faces the program draws in, as the page began to load them. A face's first file is
// loaded before the first frame; its second (what few screens draw) after it.
const firstFaces = window.platformFirstFaces ?? [];
const faceWeights = firstFaces.map((face) => face.weight);

// A face's first file made one of the page's faces. One that cannot be had (missing,
// damaged) is left out, and the texts it would draw are drawn in the face the browser has
// instead.
async function addFirstFace({ url, loaded }) {
  try {
    document.fonts.add(await loaded);
  } catch (error) {
    console.warn(`${url} could not be loaded; its texts are drawn in another face. (${error})`);
  }
}

function loadRestOfFaces() {
  // Whenever a file arrives (these, or one a text asked for), the texts are measured again.
  document.fonts.addEventListener('loadingdone', () =>
    drive(() => {
      painter.forgetFaces();
      program.textFacesChanged();
    }),
  );
  for (const weight of faceWeights) {
    document.fonts.load(`${weight} 16px Inter`, '\u0100').catch(() => {});
  }
}

async function start() {
  // The program compiles and the fonts load while the canvas makes its pixels, in the
  // page's own colour until the first frame.
  const compiled = compileProgram();
  const fonts = Promise.all(firstFaces.map(addFirstFace));
  fonts.then(() => painter.warmFaces(faceWeights));
  let size = viewport();
  painter.resize(size.width, size.height, size.pixelRatio);
  painter.clear(getComputedStyle(document.body).backgroundColor);
  const [module] = await Promise.all([compiled, fonts]);
  // Measured again: before its first layout, a phone's browser may still give its default
  // 980-pixel-wide page, zoomed out to fit, and the canvas would be drawn at that zoom.
  const measured = viewport();
  if (!sameViewport(measured, size)) {
    size = measured;
    painter.resize(size.width, size.height, size.pixelRatio);
  }
  program = await Program.start(module, {
    environment: localeEnvironment(),
    viewport: size,
    output: (descriptor, line) => {
      if (descriptor === 2) stderr.push(line);
      (descriptor === 2 ? console.error : console.log)(line);
    },
    measureText: (text, fontSize, weight) => painter.measure(text, fontSize, weight),
  });
  listen(size);
  // The page's one scripting hook, for tests and automation: the running program (its view
  // tree as dump(), what a screen reader is given as accessibilityTree()).
  window.platformProgram = program;
  // The first frame at once: the display's next would only add to the wait.
  paintFrame();
  loadRestOfFaces();
  // Once running: the site is kept for offline starts without delaying this one.
  // Each start asks the server for the worker's own script, past the HTTP cache, so that a
  // new build is found at once rather than when the browser next thinks to look; offline,
  // the question simply fails.
  if ('serviceWorker' in navigator) {
    navigator.serviceWorker
      .register('sw.js', { updateViaCache: 'none' })
      .then((registration) => registration.update())
      .catch(() => {});
  }
}

start().catch((error) =>
  showFailure(error instanceof LoadFailure ? error.message : stderr.join('\n') || String(error)),
);
