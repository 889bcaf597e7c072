import { Alignment, caretPoints, CommandKind, textFamilies, Weight } from './schema.mjs';

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
