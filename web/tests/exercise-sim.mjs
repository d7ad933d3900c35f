// Shared by the exercise tests: orx700-sim run on a script in a scratch
// folder, an exercise's link, and a submission without its times.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { SIM } from './sim.mjs';

// Runs lines in orx700-sim in a scratch folder ($DIR); what it printed, the
// files it wrote, by name, and the state it kept.
export function sim(lines, names) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'orx700-exercise-'));
  try {
    const script = lines.map((line) => line.replaceAll('$DIR', folder)).join('\n');
    const ini = path.join(folder, 'state.ini');
    const out = execFileSync(SIM, ['--clock', '2026-03-14 10:30', '--ini', ini, '-'], { input: `${script}\n`, encoding: 'utf8' });
    return { out, ini: fs.readFileSync(ini, 'utf8'), files: Object.fromEntries(names.map((n) => [n, fs.readFileSync(path.join(folder, n), 'utf8')])) };
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

export const link = (text, version = '1') => `#exercise=${version}.${zlib.deflateRawSync(Buffer.from(text, 'utf8')).toString('base64url')}`;
// A submission without the lines that hold times.
export const timeless = (text) => text.split('\n').filter((line) => !/^(time-taken|over-time|point\.\d+\.(measured-at|answered-at))=/.test(line));
