// The instrument's WebAssembly module and the functions it exports. Every
// call runs on the page's main thread; the firmware runs on its own worker.
export const LCD_WIDTH = 254;
export const LCD_HEIGHT = 68;
export const KEY_K1 = 1; // the right key
export const KEY_K2 = 2; // the left key

// A worker whose script cannot be loaded (a file missing from the folder)
// only fires an error event at its Worker object, which the module does not
// pass on: the page would wait for it for ever. Until restore(), every worker
// made reports such a failure through the promise failed.
function watchWorkers() {
  let fail;
  const failed = new Promise((resolve, reject) => (fail = reject));
  const PageWorker = globalThis.Worker;
  globalThis.Worker = class extends PageWorker {
    constructor(url, options) {
      super(url, options);
      const name = new URL(url, document.baseURI).pathname.split('/').pop();
      this.addEventListener('error', () => fail(new Error(`${name} could not be loaded`)), { once: true });
    }
  };
  return { failed, restore: () => (globalThis.Worker = PageWorker) };
}

export async function loadInstrument({ onRefresh, onErrorMessage }) {
  if (typeof globalThis.createOrx700 !== 'function') throw new Error('orx700.js could not be loaded');
  const workers = watchWorkers();
  // The module calls these back: after every LCD repaint (with the picture's
  // RGBA bytes), and for the error message box.
  let module;
  try {
    module = await Promise.race([
      globalThis.createOrx700({
        onRefresh: (rgba) => onRefresh(rgba),
        onErrorMessage: (text) => onErrorMessage(text),
        print: (text) => console.log(text),
        printErr: (text) => console.warn(text),
      }),
      workers.failed,
    ]);
  } finally {
    workers.restore();
  }
  const fn = (name, returns, args) => module.cwrap(name, returns, args);
  return {
    start: fn('orx_Start', null, ['string', 'string']),
    languageCount: fn('orx_LanguageCount', 'number', []),
    languageName: fn('orx_LanguageName', 'string', ['number']),
    languageIndex: fn('orx_LanguageIndex', 'number', []),
    selectLanguage: fn('orx_SelectLanguage', null, ['number']),
    text: fn('orx_Text', 'string', ['number']),
    version: fn('orx_Version', 'string', []),
    keyDown: fn('orx_KeyDown', null, ['number']),
    keyUp: fn('orx_KeyUp', null, []),
    keepAlive: fn('orx_KeepAlive', null, []),
    isOn: fn('orx_IsOn', 'number', []),
    hintK1: fn('orx_HintK1', 'string', []),
    hintK2: fn('orx_HintK2', 'string', []),
    screenHint: fn('orx_ScreenHint', 'string', ['number', 'number']),
    switchOffAndSave: fn('orx_SwitchOffAndSave', 'string', []),
    importState: fn('orx_ImportState', 'string', ['string']),
    messageDismissed: fn('orx_MessageDismissed', null, []),
  };
}
