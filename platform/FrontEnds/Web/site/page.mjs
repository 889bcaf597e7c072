// The page around the program: it starts it at the viewport's size in the browser's
// language, feeds it touches and keys, paints a frame only when the program says the screen
// changed, mirrors the screen into elements a screen reader reads, and installs the site to
// run offline.
import {
  CanvasPainter,
  Program,
  UIAccessibilityRole,
  UIApplicationState,
  UICursor,
  UIKey,
  UIScrollUnit,
  UITouchPhase,
} from './platform.mjs';

const canvas = document.getElementById('screen');
const mirror = document.getElementById('mirror');
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
  const list = program.frame();
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
  updateMirror(program.accessibilityTree());
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

// Elements for a screen reader, laid over the canvas where their views are: a labelled text
// box per field, a button per button, the text of labels, and a polite live region for each
// group the program reads as one. Keyed by their place, so that they change in place: a live
// region is only read out when its own text changes.
const mirrored = new Map();
let mirrorOrder = 0;

function mirrorElement(key, tag, setUp) {
  let element = mirrored.get(key);
  if (!element || element.tagName !== tag.toUpperCase()) {
    element?.remove();
    element = document.createElement(tag);
    setUp(element);
    mirrored.set(key, element);
  }
  element.dataset.seen = 'yes';
  // In the screen's order, moved only when out of it: moving an element takes the browser's
  // focus from it, and an input method's text with it.
  const next = mirror.children[mirrorOrder++] ?? null;
  if (next !== element) mirror.insertBefore(element, next);
  return element;
}

function place(element, { x, y, width, height }) {
  Object.assign(element.style, {
    left: `${x}px`,
    top: `${y}px`,
    width: `${width}px`,
    height: `${height}px`,
  });
}

// Whether an element has a role, by the name UIAccessibilityRole gives it: a name the program
// does not have is an error (the schema's enums are strict), not a role no element has.
function isRole(node, name) {
  return UIAccessibilityRole[name] !== undefined && node.role === name;
}

function textOf(node) {
  if (isRole(node, 'Text')) return node.label;
  return node.children.map(textOf).filter(Boolean).join(' ');
}

// A screen reader's activation: the program scrolls the element into sight and taps it,
// unless something covers it even there.
function activate(node) {
  if (!node.activatable) return;
  drive(() => program.activate(node.path));
}

// Text that an editable mirror element is about to take goes to the program instead, which
// shows it; the element's own value follows at the next frame. A paste is taken by the
// document's paste listener; an input method's text as its composition ends.
function takeInput(event) {
  if (event.isComposing || event.inputType === 'insertCompositionText') {
    event.target.composing = true;
    return;
  }
  event.target.composing = false;
  if (event.inputType === 'insertFromPaste') return;
  event.preventDefault();
  const text = event.data ?? event.dataTransfer?.getData('text/plain') ?? '';
  if (event.inputType.startsWith('insert') && text) drive(() => program.insertText(text));
  else if (event.inputType === 'deleteContentBackward') drive(() => program.key(UIKey.Backspace));
}

// The browser's focus follows the program's: the field being edited or the ringed button is
// the focused element, so that a screen reader and the page's own Tab order agree with it.
function followFocus(element, node) {
  element.tabIndex = node.focusable ? 0 : -1;
  if (node.focused && document.activeElement !== element) element.focus({ preventScroll: true });
  // Editing ended (the keyboard put away): the field the browser still has focused is let go, so
  // that a screen reader's next move to it starts editing it again, as in every front end.
  else if (!node.focused && node.focusable && document.activeElement === element) element.blur();
}

// The program's Tab order, as the mirror has it.
function focusableNodes(node, found = []) {
  if (node.focusable) found.push(node);
  node.children.forEach((child) => focusableNodes(child, found));
  return found;
}

function mirrorNode(node, key) {
  if (isRole(node, 'TextField')) {
    const box = mirrorElement(key, 'input', (element) => {
      // Editable, so that a paste, dictation, an input method or voice control has somewhere
      // to put text, without the phone's own keyboard: the program has one.
      Object.assign(element, {
        type: 'text',
        inputMode: 'none',
        autocomplete: 'off',
        spellcheck: false,
      });
      element.setAttribute('autocorrect', 'off');
      element.setAttribute('autocapitalize', 'off');
      element.addEventListener('click', () => activate(element.node));
      element.addEventListener('beforeinput', takeInput);
      element.addEventListener('compositionend', (event) => {
        element.composing = false;
        if (event.data) drive(() => program.insertText(event.data));
      });
    });
    box.node = node;
    box.setAttribute('aria-label', node.label);
    if (node.hint) box.setAttribute('aria-description', node.hint);
    else box.removeAttribute('aria-description');
    if (box.value !== node.value && !box.composing) box.value = node.value;
    box.classList.toggle('editing', node.focused);
    followFocus(box, node);
    place(box, node.frame);
  } else if (isRole(node, 'Button')) {
    const button = mirrorElement(key, 'button', (element) => {
      element.addEventListener('click', () => activate(element.node));
    });
    button.node = node;
    button.textContent = node.label;
    button.disabled = !node.activatable;
    followFocus(button, node);
    place(button, node.frame);
  } else if (isRole(node, 'LiveRegion')) {
    const region = mirrorElement(key, 'div', (element) => {
      element.setAttribute('role', 'status');
      element.setAttribute('aria-live', 'polite');
    });
    // New text, or the same text set again (an answer repeated): a new text
    // node, which a screen reader reads out.
    const text = textOf(node);
    const announcements = String(node.announcements);
    if (region.textContent !== text || region.dataset.announcements !== announcements) {
      region.dataset.announcements = announcements;
      region.replaceChildren(document.createTextNode(text));
    }
    place(region, node.frame);
  } else if (isRole(node, 'Heading') && node.label) {
    const heading = mirrorElement(key, 'h1', () => {});
    heading.textContent = node.label;
    place(heading, node.frame);
  } else if (isRole(node, 'Text') && node.label) {
    const text = mirrorElement(key, 'span', () => {});
    text.textContent = node.label;
    place(text, node.frame);
  } else {
    node.children.forEach((child, index) =>
      mirrorNode(child, `${key}/${child.identifier || index}`),
    );
  }
}

function updateMirror(tree) {
  for (const element of mirrored.values()) delete element.dataset.seen;
  mirrorOrder = 0;
  mirrorNode(tree, 'window');
  for (const [key, element] of mirrored) {
    if (!element.dataset.seen) {
      element.remove();
      mirrored.delete(key);
    }
  }
}

function sameViewport(one, other) {
  return JSON.stringify(one) === JSON.stringify(other);
}

// size: the viewport the program started at.
function listen(size) {
  // Touches land on the canvas, or on the field being edited, whose editable element lies
  // over it (so that a long press there offers to paste).
  let touching = null;
  const point = (event) => [event.clientX, event.clientY];
  const cursors = {
    [UICursor.Arrow]: 'default',
    [UICursor.Pointer]: 'pointer',
    [UICursor.Text]: 'text',
  };
  for (const surface of [canvas, mirror]) {
    surface.addEventListener('pointerdown', (event) => {
      if (touching !== null || event.button > 0) return;
      event.preventDefault();
      touching = event.pointerId;
      event.target.setPointerCapture(event.pointerId);
      drive(() => program.touch(UITouchPhase.Began, ...point(event)));
    });
    surface.addEventListener('pointermove', (event) => {
      if (touching === null && event.pointerType === 'mouse' && event.target === canvas) {
        canvas.style.cursor = cursors[program.cursorAt(event.clientX, event.clientY)];
      }
      if (event.pointerId !== touching) return;
      drive(() => program.touch(UITouchPhase.Moved, ...point(event)));
    });
    const end = (phase) => (event) => {
      if (event.pointerId !== touching) return;
      touching = null;
      drive(() => program.touch(phase, ...point(event)));
    };
    surface.addEventListener('pointerup', end(UITouchPhase.Ended));
    surface.addEventListener('pointercancel', end(UITouchPhase.Cancelled));
  }
  canvas.addEventListener('contextmenu', (event) => event.preventDefault());
  // The wheel scrolls the content under the pointer; with Ctrl held it is the browser's zoom.
  const wheelUnits = {
    [WheelEvent.DOM_DELTA_PIXEL]: UIScrollUnit.Points,
    [WheelEvent.DOM_DELTA_LINE]: UIScrollUnit.Lines,
    [WheelEvent.DOM_DELTA_PAGE]: UIScrollUnit.Pages,
  };
  // Over the field being edited too, whose editable element lies over the canvas.
  for (const surface of [canvas, mirror]) {
    surface.addEventListener(
      'wheel',
      (event) => {
        if (event.ctrlKey) return;
        event.preventDefault();
        const unit = wheelUnits[event.deltaMode] ?? UIScrollUnit.Points;
        drive(() => program.scrollWheel(event.clientX, event.clientY, event.deltaY, unit));
      },
      { passive: false },
    );
  }

  // A paste, from the keyboard's shortcut or a menu, wherever the browser's focus is: the
  // program puts it where typing would go.
  document.addEventListener('paste', (event) => {
    const text = event.clipboardData?.getData('text/plain');
    if (!program || !text) return;
    event.preventDefault();
    drive(() => program.insertText(text));
  });

  // The browser's focus moved by itself (a screen reader, Tab from outside the page): the
  // program's focus follows, so that what is typed goes there.
  mirror.addEventListener('focusin', (event) => {
    if (!event.target.node) return;
    const ring = focusableNodes(program.accessibilityTree());
    const target = ring.find((node) => node.identifier === event.target.node.identifier);
    if (target && !target.focused) drive(() => program.focus(target.path));
  });

  const keys = {
    Tab: UIKey.Tab,
    Enter: UIKey.Enter,
    Escape: UIKey.Escape,
    Backspace: UIKey.Backspace,
    Delete: UIKey.Delete,
    ArrowUp: UIKey.Up,
    ArrowDown: UIKey.Down,
    PageUp: UIKey.PageUp,
    PageDown: UIKey.PageDown,
  };
  // What the program leaves unhandled is the browser's: its shortcuts, and Tab past either
  // end of the program's ring, which leaves the page.
  document.addEventListener('keydown', (event) => {
    // An input method at work: its text arrives as its composition ends.
    if (event.isComposing || event.keyCode === 229) return;
    const key = keys[event.key];
    let handled = false;
    if (key !== undefined) drive(() => (handled = program.key(key, event)));
    // A character, Space included.
    else if ([...event.key].length === 1)
      drive(() => (handled = program.typeKey(event.key, event)));
    if (handled) event.preventDefault();
  });

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

// The weights the program draws in. A face's first file is loaded before the first frame;
// its second (what few screens draw) after it.
const faceWeights = [400, 600, 700];

function loadRestOfFaces() {
  // Whenever a file arrives (these, or one a text asked for), the texts are measured again.
  document.fonts.addEventListener('loadingdone', () => drive(() => program.facesChanged()));
  for (const weight of faceWeights) {
    document.fonts.load(`${weight} 16px Inter`, '\u0100').catch(() => {});
  }
}

async function start() {
  // The program compiles and the fonts load while the canvas makes its pixels, in the
  // page's own colour until the first frame.
  const compiled = compileProgram();
  const fonts = Promise.all(
    faceWeights.map((weight) => document.fonts.load(`${weight} 16px Inter`)),
  );
  fonts.then(() => painter.warmFaces()).catch(() => {});
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
