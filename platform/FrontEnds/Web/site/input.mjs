import { UICursor, UIKey, UIScrollUnit, UITouchPhase } from './schema.mjs';

// The browser's pointer, wheel, keyboard and clipboard, translated into the program's calls:
// what the program leaves unhandled stays the browser's.

const cursors = {
  [UICursor.Arrow]: 'default',
  [UICursor.Pointer]: 'pointer',
  [UICursor.Text]: 'text',
};

const wheelUnits = {
  [WheelEvent.DOM_DELTA_PIXEL]: UIScrollUnit.Points,
  [WheelEvent.DOM_DELTA_LINE]: UIScrollUnit.Lines,
  [WheelEvent.DOM_DELTA_PAGE]: UIScrollUnit.Pages,
};

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

const pointOf = (event) => ({ x: event.clientX, y: event.clientY });

// Touches land on the canvas, or on the field being edited, whose editable element lies over
// it (so that a long press there offers to paste): surfaces are both.
function listenForTouches(canvas, surfaces, program, drive) {
  let touching = null;
  for (const surface of surfaces) {
    surface.addEventListener('pointerdown', (event) => {
      if (touching !== null || event.button > 0) return;
      event.preventDefault();
      touching = event.pointerId;
      event.target.setPointerCapture(event.pointerId);
      drive(() => program.touch(UITouchPhase.Began, pointOf(event)));
    });
    surface.addEventListener('pointermove', (event) => {
      if (touching === null && event.pointerType === 'mouse' && event.target === canvas) {
        canvas.style.cursor = cursors[program.cursorAt(pointOf(event))];
      }
      if (event.pointerId !== touching) return;
      drive(() => program.touch(UITouchPhase.Moved, pointOf(event)));
    });
    const end = (phase) => (event) => {
      if (event.pointerId !== touching) return;
      touching = null;
      drive(() => program.touch(phase, pointOf(event)));
    };
    surface.addEventListener('pointerup', end(UITouchPhase.Ended));
    surface.addEventListener('pointercancel', end(UITouchPhase.Cancelled));
  }
  canvas.addEventListener('contextmenu', (event) => event.preventDefault());
}

// The wheel scrolls the content under the pointer, over the field being edited too; with Ctrl
// held it is the browser's zoom.
function listenForTheWheel(surfaces, program, drive) {
  for (const surface of surfaces) {
    surface.addEventListener(
      'wheel',
      (event) => {
        if (event.ctrlKey) return;
        event.preventDefault();
        const unit = wheelUnits[event.deltaMode] ?? UIScrollUnit.Points;
        drive(() => program.scrollWheel(pointOf(event), event.deltaY, unit));
      },
      { passive: false },
    );
  }
}

// What the program leaves unhandled is the browser's: its shortcuts, and Tab past either end
// of the program's ring, which leaves the page. A keyboard event is what Modifiers names.
function listenForKeys(program, drive) {
  document.addEventListener('keydown', (event) => {
    // An input method at work: its text arrives as its composition ends.
    if (event.isComposing || event.keyCode === 229) return;
    const key = keys[event.key];
    let handled = false;
    if (key !== undefined) drive(() => (handled = program.pressKey(key, event)));
    // A character, Space included.
    else if ([...event.key].length === 1) {
      drive(() => (handled = program.typeKey(event.key, event)));
    }
    if (handled) event.preventDefault();
  });
  // A paste, from the keyboard's shortcut or a menu, wherever the browser's focus is: the
  // program puts it where typing would go.
  document.addEventListener('paste', (event) => {
    const text = event.clipboardData?.getData('text/plain');
    if (!text) return;
    event.preventDefault();
    drive(() => program.insertText(text));
  });
}

// canvas: what the screen is painted on; mirror: the accessibility mirror's root, over it.
// drive: runs a call into the program.
export function listenForInput({ canvas, mirror, program, drive }) {
  listenForTouches(canvas, [canvas, mirror], program, drive);
  listenForTheWheel([canvas, mirror], program, drive);
  listenForKeys(program, drive);
}
