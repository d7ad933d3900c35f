// The headless instrument (orx700-sim) as the reference the page must match,
// and the page driven by the same key scripts.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { lcdPixels, PROJECT } from './browser.mjs';

export const SIM = process.env.ORX_SIM ?? path.join(PROJECT, 'build/default/bin/orx700-sim');
if (!fs.existsSync(SIM)) throw new Error(`no ${SIM}: build it with cmake --build --preset default --target orx700-sim`);

// Reads the 8-bit RGB PNG orx700-sim writes into RGBA bytes.
export function readPng(file) {
  const data = fs.readFileSync(file);
  let at = 8;
  let width = 0;
  let height = 0;
  const packed = [];
  while (at < data.length) {
    const length = data.readUInt32BE(at);
    const type = data.toString('latin1', at + 4, at + 8);
    const body = data.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || body[9] !== 2 || body[12] !== 0) throw new Error(`${file}: not an 8-bit RGB PNG`);
    } else if (type === 'IDAT') {
      packed.push(body);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(packed));
  const stride = width * 3;
  const rgb = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const row = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; ++x) {
      const left = x >= 3 ? rgb[y * stride + x - 3] : 0;
      const up = y > 0 ? rgb[(y - 1) * stride + x] : 0;
      const upLeft = x >= 3 && y > 0 ? rgb[(y - 1) * stride + x - 3] : 0;
      let predictor = 0;
      if (filter === 1) predictor = left;
      else if (filter === 2) predictor = up;
      else if (filter === 3) predictor = (left + up) >> 1;
      else if (filter === 4) {
        const p = left + up - upLeft;
        const [pa, pb, pc] = [Math.abs(p - left), Math.abs(p - up), Math.abs(p - upLeft)];
        predictor = pa <= pb && pa <= pc ? left : pb <= pc ? up : upLeft;
      }
      rgb[y * stride + x] = (row[x] + predictor) & 0xff;
    }
  }
  const rgba = new Uint8Array(width * height * 4);
  for (let i = 0; i < width * height; ++i) {
    rgba.set(rgb.subarray(3 * i, 3 * i + 3), 4 * i);
    rgba[4 * i + 3] = 255;
  }
  return { width, height, rgba };
}

// Runs script (lines of the sim's commands) and returns the LCD picture at
// scale 1 and the state as the sim shows it (balloon texts, regions).
export function simulate(lines, { clock = '2026-03-14 10:30', ini = null } = {}) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'orx700-sim-'));
  try {
    const png = path.join(folder, 'lcd.png');
    const script = [...lines, 'show', `png ${png} 1`].join('\n') + '\n';
    const args = ['--clock', clock];
    if (ini !== null) {
      fs.writeFileSync(path.join(folder, 'state.ini'), ini);
      args.push('--ini', path.join(folder, 'state.ini'));
    }
    const out = execFileSync(SIM, [...args, '-'], { input: script, encoding: 'utf8' });
    const state = JSON.parse(out.trim().split('\n').pop());
    return { picture: readPng(png), state };
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

// The number of differing pixels and the first of them, or null when equal.
export function pictureDifference(a, b) {
  if (a.width !== b.width || a.height !== b.height) return `size ${a.width}x${a.height} vs ${b.width}x${b.height}`;
  let count = 0;
  let first = null;
  for (let i = 0; i < a.rgba.length; i += 4) {
    if (a.rgba[i] !== b.rgba[i] || a.rgba[i + 1] !== b.rgba[i + 1] || a.rgba[i + 2] !== b.rgba[i + 2] || a.rgba[i + 3] !== b.rgba[i + 3]) {
      if (!first) first = { x: (i / 4) % a.width, y: Math.floor(i / 4 / a.width) };
      ++count;
    }
  }
  return count === 0 ? null : `${count} pixels differ, the first at (${first.x}, ${first.y})`;
}

// The LCD's difference from the expected picture once the page has caught
// up: on a loaded machine the worker may take a key or the page draw a frame
// late, so the canvas is read again for up to timeoutMs before a difference
// counts. A picture that never comes still fails.
export async function settledDifference(page, expected, timeoutMs = 3000) {
  const end = Date.now() + timeoutMs;
  for (;;) {
    const difference = pictureDifference(await lcdPixels(page), expected);
    if (difference === null || Date.now() >= end) return difference;
    await page.waitForTimeout(50);
  }
}
