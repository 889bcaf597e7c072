import {
  Alignment,
  caretPoints,
  CommandKind,
  estimatedCharacterWidth,
  textFamilies,
  UIAccessibilityRole,
  UIApplicationState,
  UICursor,
  UIKey,
  UIScrollUnit,
  UITouchPhase,
  Weight,
} from './schema.mjs';

export { UIAccessibilityRole, UIApplicationState, UICursor, UIKey, UIScrollUnit, UITouchPhase };

// The web front end's half in JavaScript: it runs a program compiled to WebAssembly (WASI
// preview 1, as a reactor) the way an operating system would, and paints the frames it
// describes on a canvas. It works in a browser and, without a canvas, in Node for tests.

const errno = { success: 0, badFileDescriptor: 8, notSupported: 52 };
const encoder = new TextEncoder();
const decoder = new TextDecoder();

// Records the program wrote (a parsed frame), each made to throw when a field it did not
// write is read, rather than give undefined: for tests, which paint frames through them so
// that a field renamed on one side fails on the other. The page itself reads plain records,
// at full speed.
export function strictRecords(value) {
  if (value === null || typeof value !== 'object') return value;
  if (Array.isArray(value)) return value.map(strictRecords);
  const record = Object.fromEntries(
    Object.entries(value).map(([key, field]) => [key, strictRecords(field)]),
  );
  return new Proxy(record, {
    get(target, key) {
      if (typeof key === 'string' && !(key in target) && key !== 'toJSON' && key !== 'then') {
        throw new Error(`the program wrote no ${key} in ${JSON.stringify(target).slice(0, 80)}`);
      }
      return target[key];
    },
  });
}

// What a keyboard event says was held, as the program's exports take it.
function modifierBits({ shiftKey, ctrlKey, altKey, metaKey }) {
  return (shiftKey ? 1 : 0) | (ctrlKey ? 2 : 0) | (altKey ? 4 : 0) | (metaKey ? 8 : 0);
}

// Thrown by the program's run loop to give control back to the page for good; the program
// stays alive and is driven through its exports from then on.
class RunLoopStarted {}

// A text's width where nothing draws it (Node), as the program estimates it.
function estimateWidth(text, size) {
  return [...text].length * size * estimatedCharacterWidth;
}

// The program ended itself (proc_exit).
export class ProgramExit extends Error {
  constructor(status) {
    super(`the program exited with status ${status}`);
    this.status = status;
  }
}

// WASI preview 1 as far as the program needs it: its environment, standard output and error,
// clocks and randomness. No files and no network: the program has nothing to read or send.
class SystemInterface {
  constructor(environment, output) {
    this.environment = Object.entries(environment).map(([name, value]) => `${name}=${value}`);
    this.output = output;
    this.pending = ['', '', ''];
    this.memory = null;
  }

  view() {
    return new DataView(this.memory.buffer);
  }

  strings(list, countAt, sizeAt) {
    this.view().setUint32(countAt, list.length, true);
    const size = list.reduce((total, text) => total + encoder.encode(text).length + 1, 0);
    this.view().setUint32(sizeAt, size, true);
    return errno.success;
  }

  copyStrings(list, pointersAt, bufferAt) {
    const bytes = new Uint8Array(this.memory.buffer);
    for (const text of list) {
      this.view().setUint32(pointersAt, bufferAt, true);
      pointersAt += 4;
      const encoded = encoder.encode(text);
      bytes.set(encoded, bufferAt);
      bytes[bufferAt + encoded.length] = 0;
      bufferAt += encoded.length + 1;
    }
    return errno.success;
  }

  write(descriptor, vectorsAt, count, writtenAt) {
    if (descriptor !== 1 && descriptor !== 2) return errno.badFileDescriptor;
    let written = 0;
    for (let i = 0; i < count; i++) {
      const at = this.view().getUint32(vectorsAt + i * 8, true);
      const length = this.view().getUint32(vectorsAt + i * 8 + 4, true);
      this.pending[descriptor] += decoder.decode(new Uint8Array(this.memory.buffer, at, length));
      written += length;
    }
    const lines = this.pending[descriptor].split('\n');
    this.pending[descriptor] = lines.pop();
    for (const line of lines) this.output(descriptor, line);
    this.view().setUint32(writtenAt, written, true);
    return errno.success;
  }

  imports() {
    const calls = {
      args_sizes_get: (countAt, sizeAt) => this.strings([], countAt, sizeAt),
      args_get: () => errno.success,
      environ_sizes_get: (countAt, sizeAt) => this.strings(this.environment, countAt, sizeAt),
      environ_get: (pointersAt, bufferAt) =>
        this.copyStrings(this.environment, pointersAt, bufferAt),
      fd_write: (descriptor, vectorsAt, count, writtenAt) =>
        this.write(descriptor, vectorsAt, count, writtenAt),
      fd_prestat_get: () => errno.badFileDescriptor,
      fd_close: () => errno.badFileDescriptor,
      proc_exit: (status) => {
        throw new ProgramExit(status);
      },
      clock_time_get: (clock, precision, timeAt) => {
        const nanoseconds = BigInt(Math.round((performance.timeOrigin + performance.now()) * 1e6));
        this.view().setBigUint64(timeAt, nanoseconds, true);
        return errno.success;
      },
      random_get: (at, length) => {
        crypto.getRandomValues(new Uint8Array(this.memory.buffer, at, length));
        return errno.success;
      },
    };
    // Anything else the C library links to, and never calls here, is not supported.
    return new Proxy(calls, {
      get: (target, name) => target[name] ?? (() => errno.notSupported),
    });
  }
}

// A program compiled to WebAssembly, started and alive.
export class Program {
  // code: the program's bytes, or the module compiled from them. measureText: how wide a
  // text is drawn at a size and a Weight; without a canvas, an estimate.
  static async start(
    code,
    { environment = {}, viewport, output = () => {}, measureText = estimateWidth },
  ) {
    const system = new SystemInterface(environment, output);
    const imports = {
      wasi_snapshot_preview1: system.imports(),
      platform: {
        runLoop: () => {
          throw new RunLoopStarted();
        },
        measureText: (at, length, size, weight) =>
          measureText(
            decoder.decode(new Uint8Array(system.memory.buffer, at, length)),
            size,
            weight,
          ),
      },
    };
    const module = code instanceof WebAssembly.Module ? code : await WebAssembly.compile(code);
    const instance = await WebAssembly.instantiate(module, imports);
    system.memory = instance.exports.memory;
    const program = new Program(instance.exports, system);
    instance.exports._initialize();
    program.resize(viewport);
    try {
      instance.exports.__main_argc_argv(0, 0);
    } catch (error) {
      if (!(error instanceof RunLoopStarted)) throw error;
    }
    return program;
  }

  constructor(exports, system) {
    this.exports = exports;
    this.system = system;
  }

  text(pointer) {
    if (!pointer) return null;
    const bytes = new Uint8Array(this.exports.memory.buffer);
    let end = pointer;
    while (bytes[end]) end++;
    return decoder.decode(bytes.subarray(pointer, end));
  }

  // phase: a UITouchPhase; the point in CSS pixels.
  touch(phase, x, y) {
    this.exports.webTouch(phase, x, y);
  }

  // key: a UIKey; held: what was held with it, as a keyboard event has it (shiftKey,
  // ctrlKey, altKey, metaKey). False when it was left to the browser.
  key(key, held = {}) {
    return this.exports.webKey(key, modifierBits(held)) !== 0;
  }

  // A key that typed `text`, with what was held with it. False when it was left to the
  // browser.
  typeKey(text, held = {}) {
    this.pass(text);
    return this.exports.webTypeKey(modifierBits(held)) !== 0;
  }

  // Text from a hardware keyboard, a paste or an input method. False when nothing took it.
  insertText(text) {
    this.pass(text);
    return this.exports.webInsertText() !== 0;
  }

  // The wheel over a point: the content there scrolls by `amount` in a UIScrollUnit (down
  // the content when positive). False when nothing scrolled.
  scrollWheel(x, y, amount, unit = UIScrollUnit.Points) {
    return this.exports.webScrollWheel(x, y, amount, unit) !== 0;
  }

  // A screen reader activates the accessibility tree's element at `path`: its place among
  // its siblings, and theirs above it, from the top. False when it could not be.
  activate(path) {
    this.passPlaces(path);
    return this.exports.webActivate() !== 0;
  }

  // The browser's focus moved to the element at `path`: the program's follows. False when
  // the element cannot take it.
  focus(path) {
    this.passPlaces(path);
    return this.exports.webFocus() !== 0;
  }

  // Puts text where the program reads what the page hands it.
  pass(text) {
    this.passBytes(encoder.encode(text));
  }

  // Puts an element's places there, as numbers: 32 bits each, the low byte first.
  passPlaces(places) {
    const bytes = new DataView(new ArrayBuffer(places.length * 4));
    places.forEach((place, index) => bytes.setUint32(index * 4, place, true));
    this.passBytes(new Uint8Array(bytes.buffer));
  }

  passBytes(bytes) {
    const at = this.exports.webInputBuffer(bytes.length);
    new Uint8Array(this.exports.memory.buffer).set(bytes, at);
  }

  // The viewport in CSS pixels, its device pixels to one, and its safe-area insets.
  resize({ width, height, pixelRatio, safeArea = { top: 0, left: 0, bottom: 0, right: 0 } }) {
    this.exports.webResize(
      width,
      height,
      pixelRatio,
      safeArea.top,
      safeArea.left,
      safeArea.bottom,
      safeArea.right,
    );
  }

  // A face the page draws with arrived: the program measures its texts again.
  facesChanged() {
    this.exports.webFacesChanged();
  }

  // A UICursor: what the mouse's cursor should look like at the point.
  cursorAt(x, y) {
    return this.exports.webCursorAt(x, y);
  }

  // Milliseconds until something the program scheduled is due (a held delete key's next
  // deletion); null while nothing is.
  timeUntilNextTimer() {
    const wait = this.exports.webTimeUntilNextTimer();
    return wait < 0 ? null : wait;
  }

  // Runs what is due.
  fireTimers() {
    this.exports.webFireTimers();
  }

  // state: a UIApplicationState.
  setApplicationState(state) {
    this.exports.webLifeCycle(state);
  }

  // The display list to paint, when the screen changed since the last; else null.
  frame() {
    const json = this.text(this.exports.webFrame());
    return json === null ? null : JSON.parse(json);
  }

  // What a screen reader is given: elements with a role (by its name in UIAccessibilityRole),
  // label, value, identifier, frame, whether they can be activated, their path (for
  // activate()), and children.
  accessibilityTree() {
    const roles = Object.fromEntries(
      Object.entries(UIAccessibilityRole).map(([name, value]) => [value, name]),
    );
    const named = (element, path) => ({
      ...element,
      role: roles[element.role],
      path,
      children: element.children.map((child, place) => named(child, [...path, place])),
    });
    return named(JSON.parse(this.text(this.exports.webAccessibility())), []);
  }

  dump() {
    return this.text(this.exports.webDump());
  }
}

const cssWeights = {
  [Weight.Light]: 300,
  [Weight.Regular]: 400,
  [Weight.Medium]: 500,
  [Weight.Semibold]: 600,
  [Weight.Bold]: 700,
};

function rgba({ red, green, blue, alpha }) {
  return `rgba(${red * 255}, ${green * 255}, ${blue * 255}, ${alpha})`;
}

// Replays display lists on a canvas, as the Cairo painter does on a surface: shapes, clips,
// lines of text in Inter that shrink to fit where they may and are cut with an ellipsis
// where they may not, the end of a text being typed, and its caret. Crisp at the device's
// pixel ratio.
export class CanvasPainter {
  constructor(canvas) {
    this.canvas = canvas;
    this.context = canvas.getContext('2d', { alpha: false });
  }

  resize(width, height, pixelRatio) {
    this.width = width;
    this.height = height;
    this.pixelRatio = pixelRatio;
    this.canvas.width = Math.round(width * pixelRatio);
    this.canvas.height = Math.round(height * pixelRatio);
    this.canvas.style.width = `${width}px`;
    this.canvas.style.height = `${height}px`;
  }

  clear(colour) {
    this.context.fillStyle = colour;
    this.context.fillRect(0, 0, this.canvas.width, this.canvas.height);
  }

  paint(list) {
    const context = this.context;
    context.setTransform(this.pixelRatio, 0, 0, this.pixelRatio, 0, 0);
    context.clearRect(0, 0, this.width, this.height);
    for (const command of list) {
      switch (command.kind) {
        case CommandKind.FillRect:
          this.fill(command);
          break;
        case CommandKind.StrokeRect:
          this.ring(command);
          break;
        case CommandKind.PushClip:
          context.save();
          this.roundedRectangle(command.rect, command.cornerRadius);
          context.clip();
          break;
        case CommandKind.PopClip:
          context.restore();
          break;
        case CommandKind.DrawText:
          this.text(command);
          break;
        default:
          throw new Error(`a display list command of an unknown kind: ${command.kind}`);
      }
    }
  }

  roundedRectangle({ x, y, width, height }, radius) {
    this.context.beginPath();
    this.context.roundRect(
      x,
      y,
      width,
      height,
      Math.max(0, Math.min(radius, width / 2, height / 2)),
    );
  }

  fill({ rect, cornerRadius, color }) {
    this.roundedRectangle(rect, cornerRadius);
    this.context.fillStyle = rgba(color);
    this.context.fill();
  }

  ring({ rect: { x, y, width, height }, cornerRadius, lineWidth, color }) {
    const half = lineWidth / 2;
    this.roundedRectangle(
      { x: x - half, y: y - half, width: width + lineWidth, height: height + lineWidth },
      cornerRadius + half,
    );
    this.context.strokeStyle = rgba(color);
    this.context.lineWidth = lineWidth;
    this.context.stroke();
  }

  setFont(size, weight) {
    this.context.font = `${cssWeights[weight]} ${size}px ${textFamilies}`;
  }

  // Each weight's face shaped once, so that the browser decodes it while the program is
  // still compiling rather than in the first frame (a few milliseconds a face).
  warmFaces() {
    for (const weight of Object.keys(cssWeights)) this.measure('Aa0$', 16, weight);
  }

  // How wide the text is drawn: the program lays its texts out with this.
  measure(text, size, weight) {
    this.setFont(size, weight);
    return this.context.measureText(text).width;
  }

  // A line as the program laid it out: aligned in its rectangle (less the caret's room) and
  // centered down it, clipped to it, the caret right after it.
  text({ rect: { x, y, width, height }, text, fontSize, weight, alignment, color, caret }) {
    if (width <= 0 || height <= 0) return;
    const context = this.context;
    this.setFont(fontSize, weight);
    const metrics = context.measureText(text || 'M');
    const ascent = metrics.fontBoundingBoxAscent;
    const lineHeight = ascent + metrics.fontBoundingBoxDescent;
    const top = y + (height - lineHeight) / 2;
    const textWidth = text ? metrics.width : 0;
    const room = width - (caret ? caretPoints : 0);
    let left = x;
    if (alignment === Alignment.Center) left += (room - textWidth) / 2;
    else if (alignment === Alignment.Right) left += room - textWidth;
    context.save();
    context.beginPath();
    context.rect(x, y, width, height);
    context.clip();
    context.fillStyle = rgba(color);
    context.textBaseline = 'alphabetic';
    context.textAlign = 'left';
    context.fillText(text, left, top + ascent);
    if (caret) {
      context.fillStyle = rgba(caret);
      context.fillRect(left + textWidth, top, caretPoints, lineHeight);
    }
    context.restore();
  }
}
