import { ProgramCalls } from './binding.mjs';
import { estimatedCharacterWidth, UIAccessibilityRole } from './schema.mjs';
import { SystemInterface } from './wasi.mjs';

// The web front end's program: compiled to WebAssembly (WASI preview 1, as a reactor), run as
// an operating system would run it, and driven through the calls of its generated binding.
// It works in a browser and, without a canvas, in Node for tests.

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

// A key pressed with nothing held, as a keyboard event says it.
export const nothingHeld = Object.freeze({
  shiftKey: false,
  ctrlKey: false,
  altKey: false,
  metaKey: false,
});

// Thrown by the program's run loop to give control back to the page for good; the program
// stays alive and is driven through its exports from then on.
class RunLoopStarted {}

// Each role's name, by the number the program gives it: the tree is named each frame.
const roleNames = Object.fromEntries(
  Object.entries(UIAccessibilityRole).map(([name, value]) => [value, name]),
);

// A text's width where nothing draws it (Node), as the program estimates it.
function estimateWidth(text, size) {
  return [...text].length * size * estimatedCharacterWidth;
}

// A program compiled to WebAssembly, started and alive: each of its calls is the binding's,
// as boundary.json describes it.
export class Program extends ProgramCalls {
  // code: the program's bytes, or the module compiled from them. viewport: a Viewport
  // record. measureText: how wide a text is drawn at a size and a Weight; without a canvas,
  // an estimate.
  static async start(
    code,
    { environment = {}, viewport, output = () => {}, measureText = estimateWidth },
  ) {
    const system = new SystemInterface(environment, output);
    const imports = {
      wasi_snapshot_preview1: system.imports(),
      platform: ProgramCalls.imports(() => system.memory, {
        runLoop: () => {
          throw new RunLoopStarted();
        },
        measureText,
      }),
    };
    const module = code instanceof WebAssembly.Module ? code : await WebAssembly.compile(code);
    // At once, rather than in a later task that other work may come before.
    const instance = new WebAssembly.Instance(module, imports);
    system.memory = instance.exports.memory;
    const program = new Program(instance.exports);
    instance.exports._initialize();
    program.resize(viewport);
    try {
      instance.exports.__main_argc_argv(0, 0);
    } catch (error) {
      if (!(error instanceof RunLoopStarted)) throw error;
    }
    return program;
  }

  // What a screen reader is given: elements with a role (by its name in UIAccessibilityRole),
  // label, value, identifier, frame, whether they can be activated, their path (for
  // activateAccessibilityElement()), and children.
  accessibilityTree() {
    const named = (element, path) => ({
      ...element,
      role: roleNames[element.role],
      path,
      children: element.children.map((child, place) => named(child, [...path, place])),
    });
    return named(super.accessibilityTree(), []);
  }
}
