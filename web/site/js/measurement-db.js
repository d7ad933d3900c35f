// The page's measurement database: the second WebAssembly module (loaded on
// first use, never at start) running the desktop's core over SQLite, and the
// file it works on, kept in the browser's origin-private file system
// (IndexedDB where that is missing). The module works on a copy in its
// memory file system; after every call that changed it the whole file is
// written back, one atomic replacement, so a closed tab keeps either the
// old file or the new one.
const DB_DIR = '/db';
const DB_PATH = `${DB_DIR}/measurements.sqlite`;
const IMPORT_DIR = '/import';
export const STORED_NAME = 'measurements.sqlite';

function loadScript(src) {
  return new Promise((resolve, reject) => {
    const script = document.createElement('script');
    script.src = src;
    script.onload = resolve;
    script.onerror = () => reject(Object.assign(new Error(`${src} could not be loaded`), { missingFile: src }));
    document.head.append(script);
  });
}

// The stored file by name: OPFS, else one IndexedDB store.
async function opfsStore() {
  const root = await navigator.storage.getDirectory();
  const handle = (name) => root.getFileHandle(name, { create: true });
  if (typeof FileSystemFileHandle.prototype.createWritable !== 'function') throw new Error('no writable OPFS');
  return {
    async read(name) {
      try {
        const file = await (await root.getFileHandle(name)).getFile();
        return new Uint8Array(await file.arrayBuffer());
      } catch (error) {
        if (error.name === 'NotFoundError') return null;
        throw error;
      }
    },
    async write(name, bytes) {
      const writable = await (await handle(name)).createWritable();
      await writable.write(bytes);
      await writable.close();
    },
    async exists(name) {
      return (await this.read(name)) !== null;
    },
  };
}

function idbStore() {
  const opened = new Promise((resolve, reject) => {
    const request = indexedDB.open('orx700-measurements', 1);
    request.onupgradeneeded = () => request.result.createObjectStore('files');
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
  const run = async (mode, act) => {
    const db = await opened;
    return new Promise((resolve, reject) => {
      const request = act(db.transaction('files', mode).objectStore('files'));
      request.onsuccess = () => resolve(request.result);
      request.onerror = () => reject(request.error);
    });
  };
  return {
    read: async (name) => (await run('readonly', (s) => s.get(name))) ?? null,
    write: (name, bytes) => run('readwrite', (s) => s.put(bytes, name)),
    async exists(name) {
      return (await this.read(name)) !== null;
    },
  };
}

// languageId: the instrument's LANGID, whose texts the core's messages take.
// kept false: a database of the module's memory alone, never stored, gone
// with the page or when dropped (an exercise's, apart from the user's own).
export async function openMeasurementDb(languageId, { kept = true } = {}) {
  if (typeof globalThis.createOrx700Db !== 'function') await loadScript('orx700db.js');
  const module = await globalThis.createOrx700Db({
    print: (text) => console.log(text),
    printErr: (text) => console.warn(text),
  });
  const fn = (name, returns, args) => module.cwrap(name, returns, args);
  const api = {
    setLanguage: fn('orxdb_SetLanguage', null, ['number']),
    open: fn('orxdb_Open', 'number', ['string']),
    message: fn('orxdb_Message', 'string', []),
    changed: fn('orxdb_Changed', 'number', []),
    transfer: fn('orxdb_Transfer', 'string', ['number', 'number']),
    saveCopy: fn('orxdb_SaveCopy', 'number', ['string']),
    import: fn('orxdb_Import', 'string', ['string']),
    readingCount: fn('orxdb_ReadingCount', 'number', []),
    tree: fn('orxdb_Tree', 'string', []),
    point: fn('orxdb_Point', 'string', ['number']),
    setLimits: fn('orxdb_SetLimits', 'string', ['number', 'number']),
    exportBytes: fn('orxdb_Export', 'number', ['string', 'number', 'number']),
    size: fn('orxdb_Size', 'number', []),
    wavName: fn('orxdb_WavName', 'string', ['number']),
    signal: fn('orxdb_Signal', 'number', ['number', 'number', 'number', 'number', 'number']),
    signalSize: fn('orxdb_SignalSize', 'number', []),
    setOwnLimits: fn('orxdb_SetOwnLimits', 'string', ['number', 'number', 'number', 'number']),
    setBaseline: fn('orxdb_SetBaseline', 'string', ['number']),
    peakNear: fn('orxdb_PeakNear', 'number', ['number', 'number']),
    harmonics: fn('orxdb_Harmonics', 'string', ['number', 'number']),
  };
  let store = null;
  if (kept) {
    try {
      store = await opfsStore();
    } catch {
      store = idbStore();
    }
  }
  const FS = module.FS;
  FS.mkdir(DB_DIR);
  FS.mkdir(IMPORT_DIR);
  api.setLanguage(languageId);

  // The stored file as the module's copy; one the core refuses is kept
  // aside in the store under a name no file has, and a new one is started.
  let keptAside = null;
  const stored = store && (await store.read(STORED_NAME));
  if (stored) FS.writeFile(DB_PATH, stored);
  if (api.open(DB_PATH) !== 0) {
    if (!stored) throw new Error(api.message()); // a new file refused: nothing to keep aside
    const reason = api.message();
    let name = `${STORED_NAME}.refused`;
    for (let i = 2; await store.exists(name); ++i) name = `${STORED_NAME}.refused-${i}`;
    await store.write(name, stored);
    FS.unlink(DB_PATH);
    if (api.open(DB_PATH) !== 0) throw new Error(api.message());
    keptAside = { reason, name };
  }

  // Serialised: a write-back finishes before the next starts.
  let writing = Promise.resolve();
  const writeBack = () => {
    if (!store || !api.changed()) return writing;
    const bytes = FS.readFile(DB_PATH);
    writing = writing.then(() => store.write(STORED_NAME, bytes));
    return writing;
  };
  await writeBack();

  const bytesAt = (pointer) => (pointer ? module.HEAPU8.slice(pointer, pointer + api.size()) : null);
  const withBytes = (bytes, act) => {
    const at = module._malloc(Math.max(1, bytes.length));
    try {
      module.HEAPU8.set(bytes, at);
      return act(at, bytes.length);
    } finally {
      module._free(at);
    }
  };

  return {
    keptAside,
    setLanguage: api.setLanguage,
    // bundle: the instrument's packed readings. { measured, added } or { error }.
    async transfer(bundle) {
      const outcome = JSON.parse(withBytes(bundle, (at, size) => api.transfer(at, size)));
      await writeBack();
      return outcome;
    },
    // The whole database as one consistent file's bytes.
    fileBytes() {
      const copy = `${IMPORT_DIR}/copy.sqlite`;
      if (!api.saveCopy(copy)) throw new Error(api.message());
      const bytes = FS.readFile(copy);
      FS.unlink(copy);
      return bytes;
    },
    // Another database file's readings this one lacks: { added } or
    // { error } (a foreign or damaged file: nothing changed). Named as the
    // user's file, so that a refusal names it.
    async importFile(name, bytes) {
      const safe = name.replace(/[/\\]/g, '_') || STORED_NAME;
      const path = `${IMPORT_DIR}/${safe}`;
      FS.writeFile(path, bytes);
      FS.chdir(IMPORT_DIR);
      let outcome;
      try {
        outcome = JSON.parse(api.import(safe));
      } finally {
        FS.chdir('/');
        for (const leftover of FS.readdir(IMPORT_DIR)) if (leftover !== '.' && leftover !== '..') FS.unlink(`${IMPORT_DIR}/${leftover}`);
      }
      await writeBack();
      return outcome;
    },
    readingCount: () => api.readingCount(),
    tree: () => JSON.parse(api.tree()),
    point: (id) => JSON.parse(api.point(id)),
    // The ISO machine group's limits for the point: its new trend, or { error }.
    async setLimits(id, group) {
      const outcome = JSON.parse(api.setLimits(id, group));
      await writeBack();
      return outcome;
    },
    // format 'csv' or 'uff58' of a point (0: all), 'wav' of a reading: the bytes, or null.
    exportBytes: (format, pointId, readingId = 0) => bytesAt(api.exportBytes(format, pointId, readingId)),
    wavName: (readingId) => api.wavName(readingId),
    // The typed limits of a point: its new trend, or { error } (nothing kept).
    async setOwnLimits(id, group, alert, danger) {
      const outcome = JSON.parse(api.setOwnLimits(id, group, alert, danger));
      await writeBack();
      return outcome;
    },
    // Keeps the reading as its point's baseline: { ok } or { error }.
    async setBaseline(readingId) {
      const outcome = JSON.parse(api.setBaseline(readingId));
      await writeBack();
      return outcome;
    },
    // { kind, rate, lineSpacing, shaftHz, wave, lines, baseWave, baseLines }
    // (Float64Arrays; the baseline's empty without one) or null. lines are
    // the reading's minus the baseline's with difference; with orders the
    // baseline's lines stand on the reading's own orders.
    signal(readingId, { baselineId = 0, finer = 1, orders = false, difference = false } = {}) {
      const at = api.signal(readingId, baselineId, finer, orders ? 1 : 0, difference ? 1 : 0) / 8;
      const count = api.signalSize();
      if (!count) return null;
      const all = module.HEAPF64.slice(at, at + count);
      const sizes = [all[4], all[5], all[6], all[7]];
      const parts = [];
      let from = 8;
      for (const size of sizes) {
        parts.push(all.subarray(from, from + size));
        from += size;
      }
      const [wave, lines, baseWave, baseLines] = parts;
      return { kind: all[0], rate: all[1], lineSpacing: all[2], shaftHz: all[3], wave, lines, baseWave, baseLines };
    },
    // On the last signal's drawn spectrum: the peak line within reach of line.
    peakNear: (line, reach) => api.peakNear(line, reach),
    // Harmonic cursors 1x..10x of the peak near line: [{ order, hz, line, level, drawn, baseline }].
    harmonics: (line, reach) => JSON.parse(api.harmonics(line, reach)),
    flushed: () => writing,
  };
}
