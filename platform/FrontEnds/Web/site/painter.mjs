import { Alignment, caretPoints, CommandKind, textFamilies, Weight } from './schema.mjs';

const cssWeights = {
  [Weight.Light]: 300,
  [Weight.Regular]: 400,
  [Weight.Medium]: 500,
  [Weight.Semibold]: 600,
  [Weight.Bold]: 700,
};

// The size every text is shaped at (see setFace): large, so that a width scaled down from it
// keeps its fractions.
const shapingSize = 100;
const widthsKept = 512;

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
    this.widths = new Map();
    this.faceMetrics = new Map();
  }

  resize(width, height, pixelRatio) {
    this.width = width;
    this.height = height;
    this.pixelRatio = pixelRatio;
    // A canvas resized starts again from the default state, its font among it.
    this.face = undefined;
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
          // The face set inside the clip is undone with it.
          context.restore();
          this.face = undefined;
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

  // Every text is shaped at one size per weight and scaled to the size it is laid out and
  // drawn at: a browser makes each new size of a face anew (half a millisecond or more a
  // size in Chromium), while a text shaped again at a size it has is nearly free. Measured
  // and drawn alike, so a text is drawn as wide as it was laid out.
  setFace(weight) {
    if (this.face === weight) return;
    this.face = weight;
    this.context.font = `${cssWeights[weight]} ${shapingSize}px ${textFamilies}`;
  }

  // Widths and metrics at the shaping size, kept until the faces change.
  forgetFaces() {
    this.widths.clear();
    this.faceMetrics.clear();
  }

  // The faces of the CSS weights given made once, so that the browser decodes them while
  // the program is still compiling rather than in the first frame (a few milliseconds a face).
  warmFaces(loaded) {
    for (const [weight, cssWeight] of Object.entries(cssWeights))
      if (loaded.includes(cssWeight)) this.metricsOf(Number(weight));
  }

  // A face's ascent and line height at the shaping size.
  metricsOf(weight) {
    let metrics = this.faceMetrics.get(weight);
    if (!metrics) {
      this.setFace(weight);
      const measured = this.context.measureText('M');
      metrics = {
        ascent: measured.fontBoundingBoxAscent,
        lineHeight: measured.fontBoundingBoxAscent + measured.fontBoundingBoxDescent,
      };
      this.faceMetrics.set(weight, metrics);
    }
    return metrics;
  }

  // How wide the text is drawn: the program lays its texts out with this.
  measure(text, size, weight) {
    const key = `${weight} ${text}`;
    let width = this.widths.get(key);
    if (width === undefined) {
      this.setFace(weight);
      width = this.context.measureText(text).width;
      // What is typed makes new texts without end; the screen's own are few.
      if (this.widths.size === widthsKept) this.widths.clear();
      this.widths.set(key, width);
    }
    return (width * size) / shapingSize;
  }

  // A line as the program laid it out: aligned in its rectangle (less the caret's room) and
  // centered down it, clipped to it, the caret right after it.
  text({ rect: { x, y, width, height }, text, fontSize, weight, alignment, color, caret }) {
    if (width <= 0 || height <= 0) return;
    const context = this.context;
    const scale = fontSize / shapingSize;
    const { ascent, lineHeight } = this.metricsOf(weight);
    const top = y + (height - lineHeight * scale) / 2;
    const textWidth = text ? this.measure(text, fontSize, weight) : 0;
    const room = width - (caret ? caretPoints : 0);
    let left = x;
    if (alignment === Alignment.Center) left += (room - textWidth) / 2;
    else if (alignment === Alignment.Right) left += room - textWidth;
    // The face is set outside the saved state, so that restoring it keeps the face.
    this.setFace(weight);
    context.save();
    context.beginPath();
    context.rect(x, y, width, height);
    context.clip();
    if (caret) {
      context.fillStyle = rgba(caret);
      context.fillRect(left + textWidth, top, caretPoints, lineHeight * scale);
    }
    context.fillStyle = rgba(color);
    context.textBaseline = 'alphabetic';
    context.textAlign = 'left';
    context.translate(left, top + ascent * scale);
    context.scale(scale, scale);
    context.fillText(text, 0, 0);
    context.restore();
  }
}
