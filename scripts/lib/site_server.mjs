// Serves a folder on 127.0.0.1, on a free port, with the types a web app needs: for
// `scripts/run --ui web`, the tests and the benchmarks alike. Run on its own, it says where
// and serves until stopped.
// Usage: node site_server.mjs FOLDER
import { readFileSync, statSync } from 'node:fs';
import http from 'node:http';
import { extname, join, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

const types = {
  '.html': 'text/html',
  '.mjs': 'text/javascript',
  '.js': 'text/javascript',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.woff2': 'font/woff2',
  '.webmanifest': 'application/manifest+json',
  '.txt': 'text/plain',
};

// The freshest precompressed copy of FILE that ACCEPTED (an Accept-Encoding header) allows.
function precompressed(file, accepted) {
  const taken = accepted.split(',').map((coding) => coding.trim().split(';')[0]);
  for (const [name, suffix] of [
    ['br', '.br'],
    ['gzip', '.gz'],
  ]) {
    if (!taken.includes(name)) continue;
    try {
      if (statSync(file + suffix).mtimeMs >= statSync(file).mtimeMs) {
        return { name, file: file + suffix };
      }
    } catch {
      // No such copy.
    }
  }
  return null;
}

// Serves FOLDER; `extra` maps a path ("/bare.html") to a file served there too. For tests of
// other servers: `types` overrides the content types by extension, and `lastModified` (a
// Date) is sent for every file, which lets a browser keep files fresh in its HTTP cache.
// A file stored beside its precompressed copies (FILE.br, FILE.gz, as the site's assembly
// writes them) is sent as the best one the browser takes, as a production server sends
// them; a copy older than its file is stale and never sent.
// Resolves to the server's origin ("http://127.0.0.1:PORT/"), a function that stops it, and
// the paths asked for, in order.
export async function serveSite(folder, { extra = {}, types: ownTypes = {}, lastModified } = {}) {
  const root = resolve(folder);
  const served = [];
  const server = http.createServer((request, response) => {
    let path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    if (path.endsWith('/')) path += 'index.html';
    served.push(path);
    const file = extra[path] ?? join(root, path);
    try {
      if (!extra[path] && !file.startsWith(root + sep)) throw new Error('outside the folder');
      if (!statSync(file).isFile()) throw new Error('not a file');
      const type = ownTypes[extname(file)] ?? types[extname(file)] ?? 'application/octet-stream';
      const encoding = precompressed(file, request.headers['accept-encoding'] ?? '');
      response.writeHead(200, {
        'content-type': type,
        vary: 'accept-encoding',
        ...(encoding ? { 'content-encoding': encoding.name } : {}),
        ...(lastModified ? { 'last-modified': lastModified.toUTCString() } : {}),
      });
      response.end(readFileSync(encoding?.file ?? file));
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((started) => server.listen(0, '127.0.0.1', started));
  return {
    origin: `http://127.0.0.1:${server.address().port}/`,
    close: () => server.close(),
    served,
  };
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const { origin } = await serveSite(process.argv[2]);
  console.log(`serving ${resolve(process.argv[2])} at ${origin} (Ctrl-C stops)`);
}
