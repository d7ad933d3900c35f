// A classic script, run before orx700.js and the page's modules: it starts
// compiling the instrument's WebAssembly file at once, as it streams in, and
// starts the module as soon as orx700.js has run, so that neither waits for
// the other nor for the page's modules. The module is ready once
// instantiated; its worker pool loads beside the page's start.
// instrument.js takes the loaded module over through loadOrx700(), which
// also starts the load when this script could not (a page that reloads for
// isolation first).
(function () {
  'use strict';
  let loading = null;
  let compiling = null;
  let spare = null; // the pool's worker, made early: { url, worker, failed, loaded }
  let poolLoaded = null; // resolves once the pool's worker has loaded the module

  const missing = (name) => Object.assign(new Error(`${name} could not be loaded`), { missingFile: name });
  const damaged = (name, error) => Object.assign(new Error(`${name} is damaged: ${error.message}`), { damagedFile: name });

  // A worker takes a while to start (a thread, its script fetched and run):
  // the pool's one is made with the page (index.html's first script), so
  // that it starts while orx700.js and the wasm file load, and the module's
  // request for it gets this one.
  function makeSpareWorker() {
    const name = 'orx700.worker.js';
    const url = new URL(name, document.baseURI).href;
    const early = globalThis.orx700EarlyWorker;
    delete globalThis.orx700EarlyWorker;
    const worker = early?.worker ?? new Worker(url);
    const failed = (early?.failed ?? new Promise((resolve, reject) => worker.addEventListener('error', reject, { once: true })))
      .catch(() => Promise.reject(missing(name)));
    failed.catch(() => {}); // reported when the module is loaded, not before
    spare = { url, worker, failed, loaded: whenLoaded(worker) };
  }

  // Resolves when worker says it has loaded the module: a thread started on
  // it runs from then on.
  function whenLoaded(worker) {
    return new Promise((resolve) => {
      const loaded = (event) => {
        if (event.data?.cmd !== 'loaded') return;
        worker.removeEventListener('message', loaded);
        performance.mark('orx700-worker-loaded'); // for timing tools
        resolve();
      };
      worker.addEventListener('message', loaded);
    });
  }

  // A worker whose script cannot be loaded (a file missing from the folder)
  // only fires an error event at its Worker object, which the module does not
  // pass on: the page would wait for it for ever. Until restore(), every
  // worker made reports such a failure through the promise failed.
  function watchWorkers() {
    let fail;
    const failed = new Promise((resolve, reject) => (fail = reject));
    const PageWorker = globalThis.Worker;
    globalThis.Worker = class extends PageWorker {
      constructor(url, options) {
        if (spare && !options && new URL(url, document.baseURI).href === spare.url) {
          const made = spare;
          spare = null;
          made.failed.catch(fail);
          poolLoaded ??= made.loaded;
          return made.worker; // the object new gives, in place of this
        }
        super(url, options);
        const name = new URL(url, document.baseURI).pathname.split('/').pop();
        this.addEventListener('error', () => fail(missing(name)), { once: true });
        poolLoaded ??= whenLoaded(this);
      }
    };
    return { failed, fail, restore: () => (globalThis.Worker = PageWorker) };
  }

  // The wasm file fetched and compiled by the page itself, as it streams in
  // (the request the page's preload hint has already made), so that a file
  // missing from the server is named instead of ending in the module's abort.
  function compileWasm() {
    const name = 'orx700.wasm';
    const compiled = fetch(new URL(name, document.baseURI), { credentials: 'same-origin' })
      .catch(() => Promise.reject(missing(name)))
      .then(async (response) => {
        if (!response.ok) throw missing(name);
        // A host that serves the file with another type than
        // application/wasm: compiled from its bytes once they are all in.
        if (!response.headers.get('Content-Type')?.startsWith('application/wasm'))
          return WebAssembly.compile(await response.arrayBuffer());
        return WebAssembly.compileStreaming(response);
      })
      .catch((error) => Promise.reject(error instanceof WebAssembly.CompileError ? damaged(name, error) : error))
      .then((module) => {
        performance.mark('orx700-wasm-compiled');
        return module;
      });
    compiled.catch(() => {}); // reported when the module is loaded, not before
    return compiled;
  }

  function instantiateWasm(fail) {
    return (imports, receiveInstance) => {
      (compiling ??= compileWasm())
        .then((module) => WebAssembly.instantiate(module, imports).then((instance) => receiveInstance(instance, module)))
        .catch(fail);
      return {}; // the exports come through receiveInstance
    };
  }

  function load() {
    if (typeof globalThis.createOrx700 !== 'function') return Promise.reject(missing('orx700.js'));
    const workers = watchWorkers();
    const module = globalThis.createOrx700({
      instantiateWasm: instantiateWasm(workers.fail),
      print: (text) => console.log(text),
      printErr: (text) => console.warn(text),
    });
    performance.mark('orx700-module-requested');
    return Promise.race([module, workers.failed]).then(
      (loaded) => {
        workers.restore();
        performance.mark('orx700-module-ready');
        // The pool's worker goes on loading while the page starts (the
        // device's thread runs once it has): one that cannot load still
        // stops the start, and is named.
        workers.failed.catch((error) => globalThis.showStartFailure?.(error));
        loaded.threadsLoaded = poolLoaded ?? Promise.resolve();
        return loaded;
      },
      (error) => {
        workers.restore();
        throw error;
      });
  }

  globalThis.loadOrx700 = () => (loading ??= Promise.resolve().then(load));
  // Threads need an isolated page; without it the page reloads (or says how
  // to serve it) and loading now would be wasted.
  if (self.crossOriginIsolated) {
    compiling = compileWasm();
    makeSpareWorker();
    // orx700.js comes next in the page: the module starts once it has run.
    // Load events reach the document, not the window. (Without orx700.js,
    // instrument.js's loadOrx700() reports it missing.)
    document.addEventListener('load', (event) => {
      const element = event.target;
      if (element instanceof HTMLScriptElement && new URL(element.src, document.baseURI).pathname.endsWith('/orx700.js'))
        globalThis.loadOrx700().catch(() => {}); // reported by the page's start
    }, true);
  }
})();
