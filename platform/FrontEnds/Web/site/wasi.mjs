const errno = { success: 0, badFileDescriptor: 8, notSupported: 52 };
const encoder = new TextEncoder();
const decoder = new TextDecoder();

// The program ended itself (proc_exit).
export class ProgramExit extends Error {
  constructor(status) {
    super(`the program exited with status ${status}`);
    this.status = status;
  }
}

// WASI preview 1 as far as the program needs it: its environment, standard output and error,
// clocks and randomness. No files and no network: the program has nothing to read or send.
export class SystemInterface {
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
