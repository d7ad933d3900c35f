// Serves the web edition's site folder on the loopback address, with the two
// headers that make the page cross-origin isolated (threads need
// SharedArrayBuffer). --plain leaves the headers out, as a plain static host
// does: the page's service worker then adds them.
//
// usage: node serve.mjs [--port N] [--plain] SITE_FOLDER
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.svg': 'image/svg+xml',
  '.png': 'image/png',
  '.pdf': 'application/pdf',
  '.json': 'application/json',
  '.webmanifest': 'application/manifest+json',
};

export function startServer({ root, port = 8700, host = '127.0.0.1', isolated = true }) {
  const base = path.resolve(root);
  const server = http.createServer((request, response) => {
    let name;
    try {
      name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    } catch {
      response.writeHead(400).end();
      return;
    }
    if (name.endsWith('/')) name += 'index.html';
    const file = path.resolve(base, '.' + name);
    const headers = { 'Cache-Control': 'no-cache' };
    if (isolated) {
      headers['Cross-Origin-Opener-Policy'] = 'same-origin';
      headers['Cross-Origin-Embedder-Policy'] = 'require-corp';
    }
    // Nothing outside the site folder, whatever the path says.
    if (file !== base && !file.startsWith(base + path.sep)) {
      response.writeHead(403, headers).end();
      return;
    }
    fs.readFile(file, (error, data) => {
      if (error) {
        response.writeHead(404, { ...headers, 'Content-Type': 'text/plain' }).end('not found\n');
        return;
      }
      headers['Content-Type'] = TYPES[path.extname(file)] ?? 'application/octet-stream';
      // no-cache asks the browser to check its copy each time: a copy still
      // current is confirmed without its bytes (the pool's worker loads
      // orx700.js again, and keeps the browser's compiled code for it).
      fs.stat(file, (statError, stat) => {
        if (!statError) headers.ETag = `"${stat.size.toString(16)}-${Math.floor(stat.mtimeMs).toString(16)}"`;
        if (headers.ETag && request.headers['if-none-match'] === headers.ETag) {
          response.writeHead(304, headers).end();
          return;
        }
        response.writeHead(200, headers);
        response.end(request.method === 'HEAD' ? undefined : data);
      });
    });
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, host, () => resolve(server));
  });
}

const isMain = process.argv[1] && path.resolve(process.argv[1]) === new URL(import.meta.url).pathname;
if (isMain) {
  const args = process.argv.slice(2);
  let port = 8700;
  let isolated = true;
  let root = null;
  for (let i = 0; i < args.length; ++i) {
    if (args[i] === '--port') port = Number(args[++i]);
    else if (args[i] === '--plain') isolated = false;
    else root = args[i];
  }
  if (!root || !Number.isInteger(port)) {
    console.error('usage: node serve.mjs [--port N] [--plain] SITE_FOLDER');
    process.exit(2);
  }
  startServer({ root, port, isolated }).then(
    () => console.log(`Serving ${root} on http://127.0.0.1:${port}/ (Ctrl+C stops)`),
    (error) => {
      console.error(`cannot serve on port ${port}: ${error.message}`);
      process.exit(1);
    });
}
