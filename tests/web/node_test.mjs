// The program compiled to WebAssembly, without a browser: started in Node through the same
// page module a browser uses, driven through its exported entry points.
// Usage: node node_test.mjs SITE-FOLDER
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { test } from 'node:test';

const site = resolve(process.argv[2]);
const siteModule = (name) => import(pathToFileURL(join(site, name)).href);
const { nothingHeld, Program, strictRecords } = await siteModule('program.mjs');
const { CanvasPainter } = await siteModule('painter.mjs');
const { ProgramCalls } = await siteModule('binding.mjs');
const { Alignment, CommandKind, UIAccessibilityRole, UIKey, UITouchPhase, Weight } =
  await siteModule('schema.mjs');
const bytes = readFileSync(join(site, 'app.wasm'));

async function start(locale, languages) {
  const errors = [];
  const program = await Program.start(bytes, {
    environment: { LANG: `${locale}.UTF-8`, ...(languages ? { LANGUAGE: languages } : {}) },
    viewport: {
      width: 390,
      height: 844,
      pixelRatio: 3,
      safeArea: { top: 0, left: 0, bottom: 0, right: 0 },
    },
    output: (descriptor, text) => descriptor === 2 && errors.push(text),
  });
  return { program, errors };
}

// The line of the dump for a view, by its identifier.
function line(dump, identifier) {
  return dump.split('\n').find((text) => text.includes(`#${identifier} `)) ?? '';
}

test('fifteen an hour and a price of a hundred come to seven hours', async () => {
  const { program, errors } = await start('en_US');
  assert.ok(program.pressKey(UIKey.Tab, nothingHeld));
  assert.ok(program.insertText('15'));
  assert.ok(program.pressKey(UIKey.Tab, nothingHeld));
  assert.ok(program.insertText('100'));
  assert.ok(program.pressKey(UIKey.Enter, nothingHeld));
  const dump = program.dump();
  assert.match(line(dump, 'result'), /"7"$/);
  assert.doesNotMatch(dump, /UIKeyboard/);
  assert.deepEqual(errors, []);
});

test('the badge shows the currency of the locale, as ICU gives it natively', async () => {
  for (const [locale, symbol] of [
    ['de_CH', 'CHF'],
    ['en_US', '$'],
    ['ja_JP', '￥'],
    ['de_DE', '€'],
  ]) {
    const { program } = await start(locale);
    program.takeFrameIfChanged();
    assert.ok(program.dump().includes(`UILabel (5, 16, 20, 20) "${symbol}"`), locale);
  }
});

test('a language alone, an old name and a region without its script resolve as ICU does natively', async () => {
  for (const [locale, symbol] of [
    ['de', '€'],
    ['ja', '￥'],
    ['zh_CN', '¥'],
    ['zh_TW', '$'],
    ['sr_RS', 'RSD'],
    ['no_NO', 'kr'],
    ['iw_IL', '₪'],
  ]) {
    const { program } = await start(locale);
    program.takeFrameIfChanged();
    assert.ok(program.dump().includes(`UILabel (5, 16, 20, 20) "${symbol}"`), locale);
  }
});

test('a language of no country defers to the next one the browser prefers', async () => {
  const { program } = await start('eo', 'eo:ia:fr_CH:de');
  program.takeFrameIfChanged();
  assert.ok(program.dump().includes('UILabel (5, 16, 20, 20) "CHF"'), program.dump());
});

test('a frame is given only when the screen changed', async () => {
  const { program } = await start('en_US');
  assert.ok(Array.isArray(program.takeFrameIfChanged()));
  assert.equal(program.takeFrameIfChanged(), null);
  program.pressKey(UIKey.Tab, nothingHeld);
  assert.ok(
    program
      .takeFrameIfChanged()
      // A command's fields are its kind's: the kind is read first.
      .some(
        (command) =>
          command.kind === CommandKind.FillRect &&
          command.color.red === 1 &&
          command.color.green > 0.59 &&
          command.color.green < 0.6,
      ),
  );
});

// A canvas that draws nothing, for painting in Node: every call is taken, text measures as
// nothing wide.
function blankCanvas() {
  const metrics = { width: 0, fontBoundingBoxAscent: 12, fontBoundingBoxDescent: 4 };
  const context = new Proxy(
    {},
    {
      get: (target, key) =>
        key in target ? target[key] : key === 'measureText' ? () => metrics : () => {},
    },
  );
  return { getContext: () => context, style: {} };
}

test('a field or a role one side does not have is an error on the other, not undefined', async () => {
  const { program } = await start('en_US');
  const painter = new CanvasPainter(blankCanvas());
  painter.resize(390, 844, 3);
  // Every kind of command, a text being edited with its caret and a ringed button among
  // them, painted as the page paints them: a field the painter reads and the program did not write throws.
  const first = strictRecords(program.takeFrameIfChanged());
  program.pressKey(UIKey.Tab, nothingHeld);
  program.insertText('15');
  const editing = strictRecords(program.takeFrameIfChanged());
  program.pressKey(UIKey.Escape, nothingHeld);
  program.pressKey(UIKey.ShiftTab, nothingHeld);
  const ringed = strictRecords(program.takeFrameIfChanged());
  for (const frame of [first, editing, ringed]) painter.paint(frame);
  const kinds = new Set([...first, ...editing, ...ringed].map((command) => command.kind));
  assert.equal(kinds.size, Object.keys(CommandKind).length, 'every kind of command painted');
  const text = first.find((command) => command.kind === CommandKind.DrawText);
  assert.equal(text.caret, null, 'written while there is none');
  assert.throws(() => text.fontsize, /wrote no fontsize/);
  assert.throws(() => text.rect.w, /wrote no w /);
  assert.throws(() => UIAccessibilityRole.Textfield, /has no Textfield/);
  assert.throws(() => CommandKind.DrawTexts, /has no DrawTexts/);
});

test('a call the program does not export as described, or a record without a field, is an error', async () => {
  const { program } = await start('en_US');
  const { exports } = program;
  assert.throws(() => new ProgramCalls({ ...exports, webTouch: () => {} }), /webTouch taking 3/);
  assert.throws(() => new ProgramCalls({ ...exports, webShake: () => {} }), /exports webShake/);
  assert.throws(() => program.touch(UITouchPhase.Began, { x: 1 }), /a Point without its y/);
  assert.throws(() => program.pressKey(UIKey.Tab), /pressKey takes 2 arguments, not 1/);
  assert.throws(() => program.typeKey('1', { shiftKey: false }), /Modifiers without its ctrlKey/);
  // An enum the program does not have is ignored there, as a key it does not know.
  assert.equal(program.pressKey(Object.keys(UIKey).length, nothingHeld), false);
});

// A canvas whose one face measures a text by its characters, at the size its font names,
// times a width the test changes as a browser's face changes when a file arrives; it keeps
// what is filled, with the scale it is filled at.
function measuringCanvas() {
  const canvas = { face: 1, filled: [], style: {} };
  let scale = 1;
  const context = {
    font: '',
    measureText(text) {
      const size = Number(/(\d+(?:\.\d+)?)px/.exec(this.font)[1]);
      return {
        width: [...text].length * size * 0.5 * canvas.face,
        fontBoundingBoxAscent: size * 0.8,
        fontBoundingBoxDescent: size * 0.2,
      };
    },
    scale: (by) => (scale *= by),
    restore: () => (scale = 1),
    fillText: (text, x) => canvas.filled.push({ text, x, scale }),
    fillRect: (x, y, width) => canvas.filled.push({ caretAt: x, width }),
  };
  canvas.getContext = () =>
    new Proxy(context, { get: (target, key) => (key in target ? target[key] : () => {}) });
  return canvas;
}

test('a text is drawn at the size and as wide as it was laid out, measured anew when the faces change', () => {
  const canvas = measuringCanvas();
  const painter = new CanvasPainter(canvas);
  painter.resize(390, 844, 1);
  for (const size of [13, 22, 64]) {
    assert.equal(painter.measure('1500', size, Weight.Regular), 4 * size * 0.5, `at ${size}`);
  }
  const typed = {
    rect: { x: 10, y: 0, width: 300, height: 40 },
    text: '1500',
    fontSize: 22,
    weight: Weight.Regular,
    alignment: Alignment.Left,
    color: { red: 1, green: 1, blue: 1, alpha: 1 },
    caret: { red: 1, green: 1, blue: 1, alpha: 1 },
  };
  painter.text(typed);
  const drawn = canvas.filled.find((filled) => 'text' in filled);
  const caret = canvas.filled.find((filled) => 'caretAt' in filled);
  assert.equal(drawn.scale, 22 / 100, 'shaped at one size, drawn scaled to its own');
  assert.equal(caret.caretAt, 10 + painter.measure('1500', 22, Weight.Regular));
  // A face's file arrives: the same text measures by the new face once it is said.
  canvas.face = 2;
  assert.equal(painter.measure('1500', 22, Weight.Regular), 44, 'kept until the faces change');
  painter.forgetFaces();
  assert.equal(painter.measure('1500', 22, Weight.Regular), 88);
});
