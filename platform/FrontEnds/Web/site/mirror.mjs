import { nothingHeld } from './program.mjs';
import { UIAccessibilityRole, UIKey } from './schema.mjs';

// Whether an element has a role, by the name UIAccessibilityRole gives it: a name the program
// does not have is an error (the schema's enums are strict), not a role no element has.
function isRole(node, name) {
  return UIAccessibilityRole[name] !== undefined && node.role === name;
}

function textOf(node) {
  if (isRole(node, 'Text')) return node.label;
  return node.children.map(textOf).filter(Boolean).join(' ');
}

function place(element, { x, y, width, height }) {
  Object.assign(element.style, {
    left: `${x}px`,
    top: `${y}px`,
    width: `${width}px`,
    height: `${height}px`,
  });
}

// The program's Tab order, as the mirror has it.
function focusableNodes(node, found = []) {
  if (node.focusable) found.push(node);
  node.children.forEach((child) => focusableNodes(child, found));
  return found;
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

// Elements for a screen reader, laid over the canvas where their views are: a labelled text
// box per field, a button per button, the text of labels, and a polite live region for each
// group the program reads as one. Keyed by their place, so that they change in place: a live
// region is only read out when its own text changes.
export class AccessibilityMirror {
  // root: the element the mirror's elements go in. drive: runs a call into the program.
  constructor(root, program, drive) {
    this.root = root;
    this.program = program;
    this.drive = drive;
    this.mirrored = new Map();
    this.order = 0;
    // The browser's focus moved by itself (a screen reader, Tab from outside the page): the
    // program's focus follows, so that what is typed goes there.
    root.addEventListener('focusin', (event) => {
      if (!event.target.node) return;
      const ring = focusableNodes(program.accessibilityTree());
      const target = ring.find((node) => node.identifier === event.target.node.identifier);
      if (target && !target.focused) drive(() => program.focusAccessibilityElement(target.path));
    });
  }

  update(tree) {
    for (const element of this.mirrored.values()) delete element.dataset.seen;
    this.order = 0;
    this.mirrorNode(tree, 'window');
    for (const [key, element] of this.mirrored) {
      if (!element.dataset.seen) {
        element.remove();
        this.mirrored.delete(key);
      }
    }
  }

  element(key, tag, setUp) {
    let element = this.mirrored.get(key);
    if (!element || element.tagName !== tag.toUpperCase()) {
      element?.remove();
      element = document.createElement(tag);
      setUp(element);
      this.mirrored.set(key, element);
    }
    element.dataset.seen = 'yes';
    // In the screen's order, moved only when out of it: moving an element takes the browser's
    // focus from it, and an input method's text with it.
    const next = this.root.children[this.order++] ?? null;
    if (next !== element) this.root.insertBefore(element, next);
    return element;
  }

  // A screen reader's activation: the program scrolls the element into sight and taps it,
  // unless something covers it even there.
  activate(node) {
    if (!node.activatable) return;
    this.drive(() => this.program.activateAccessibilityElement(node.path));
  }

  // Text that an editable mirror element is about to take goes to the program instead, which
  // shows it; the element's own value follows at the next frame. A paste is taken by the
  // document's paste listener; an input method's text as its composition ends.
  takeInput(event) {
    if (event.isComposing || event.inputType === 'insertCompositionText') {
      event.target.composing = true;
      return;
    }
    event.target.composing = false;
    if (event.inputType === 'insertFromPaste') return;
    event.preventDefault();
    const text = event.data ?? event.dataTransfer?.getData('text/plain') ?? '';
    if (event.inputType.startsWith('insert') && text) {
      this.drive(() => this.program.insertText(text));
    } else if (event.inputType === 'deleteContentBackward') {
      this.drive(() => this.program.pressKey(UIKey.Backspace, nothingHeld));
    }
  }

  textBox(node, key) {
    const box = this.element(key, 'input', (element) => {
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
      element.addEventListener('click', () => this.activate(element.node));
      element.addEventListener('beforeinput', (event) => this.takeInput(event));
      element.addEventListener('compositionend', (event) => {
        element.composing = false;
        if (event.data) this.drive(() => this.program.insertText(event.data));
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
  }

  button(node, key) {
    const button = this.element(key, 'button', (element) => {
      element.addEventListener('click', () => this.activate(element.node));
    });
    button.node = node;
    button.textContent = node.label;
    button.disabled = !node.activatable;
    followFocus(button, node);
    place(button, node.frame);
  }

  liveRegion(node, key) {
    const region = this.element(key, 'div', (element) => {
      element.setAttribute('role', 'status');
      element.setAttribute('aria-live', 'polite');
    });
    // New text, or the same text set again (an answer repeated): a new text node, which a
    // screen reader reads out.
    const text = textOf(node);
    const announcements = String(node.announcements);
    if (region.textContent !== text || region.dataset.announcements !== announcements) {
      region.dataset.announcements = announcements;
      region.replaceChildren(document.createTextNode(text));
    }
    place(region, node.frame);
  }

  text(node, key, tag) {
    const text = this.element(key, tag, () => {});
    text.textContent = node.label;
    place(text, node.frame);
  }

  mirrorNode(node, key) {
    if (isRole(node, 'TextField')) this.textBox(node, key);
    else if (isRole(node, 'Button')) this.button(node, key);
    else if (isRole(node, 'LiveRegion')) this.liveRegion(node, key);
    else if (isRole(node, 'Heading') && node.label) this.text(node, key, 'h1');
    else if (isRole(node, 'Text') && node.label) this.text(node, key, 'span');
    else {
      node.children.forEach((child, index) =>
        this.mirrorNode(child, `${key}/${child.identifier || index}`),
      );
    }
  }
}
