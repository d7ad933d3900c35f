// The instrument's WebAssembly module and the functions it exports. Every
// call runs on the page's main thread; the firmware runs on its own worker.
export const LCD_WIDTH = 254;
export const LCD_HEIGHT = 68;
export const KEY_K1 = 1; // the right key
export const KEY_K2 = 2; // the left key

// The module that js/load-module.js started loading with the page; the
// callbacks are the module's own: after every LCD repaint (with the
// picture's RGBA bytes), and for the error message box.
export async function loadInstrument({ onRefresh, onErrorMessage }) {
  if (typeof globalThis.loadOrx700 !== 'function')
    throw Object.assign(new Error('js/load-module.js could not be loaded'), { missingFile: 'js/load-module.js' });
  const module = await globalThis.loadOrx700();
  module.onRefresh = (rgba) => onRefresh(rgba);
  module.onErrorMessage = (text) => onErrorMessage(text);
  module.onKeyCaption = null;
  module.onPlayLanguage = () => {};
  const fn = (name, returns, args) => module.cwrap(name, returns, args);
  return {
    // Resolves once the device's thread can run (the LCD is drawn before).
    threadsLoaded: () => module.threadsLoaded,
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
    lcdText: fn('orx_LcdText', 'string', []),
    maxStateBytes: fn('orx_MaxStateBytes', 'number', []),
    saveState: fn('orx_SaveState', 'string', []),
    isBusy: fn('orx_IsBusy', 'number', []),
    powerOff: fn('orx_PowerOff', null, []),
    isParked: fn('orx_IsParked', 'number', []),
    checkState: fn('orx_CheckState', 'number', ['string']),
    checkDetails: fn('orx_CheckDetails', 'string', []),
    applyState: fn('orx_ApplyState', 'string', ['string']),
    messageDismissed: fn('orx_MessageDismissed', null, []),
    // The Machines panel (JSON texts; see src/web/ExportsMachines.cpp).
    machineRows: fn('orx_MachineRows', 'string', []),
    machineEditor: fn('orx_MachineEditor', 'string', ['number']),
    setMachineField: fn('orx_SetMachineField', 'string', ['number', 'string', 'string']),
    setMachinePreset: fn('orx_SetMachinePreset', 'string', ['number', 'number']),
    undoMachinePreset: fn('orx_UndoMachinePreset', null, []),
    machinePreview: fn('orx_MachinePreview', 'string', ['number', 'number', 'number']),
    forgetMachinePreset: fn('orx_ForgetMachinePreset', null, []),
    // The exercise (see src/web/ExportsExercise*.cpp).
    exerciseRefusal: fn('orx_ExerciseRefusal', 'string', ['string']),
    exerciseOpen: fn('orx_ExerciseOpen', 'number', ['string']),
    exerciseIsOpen: fn('orx_ExerciseIsOpen', 'number', []),
    exerciseSheet: fn('orx_ExerciseSheet', 'string', []),
    exerciseText: fn('orx_ExerciseText', 'string', []),
    exerciseSecondsLeft: fn('orx_ExerciseSecondsLeft', 'number', []),
    exerciseAnswer: fn('orx_ExerciseAnswer', null, ['number', 'string', 'string', 'string']),
    exerciseSubmit: fn('orx_ExerciseSubmit', 'string', ['string']),
    exerciseClose: fn('orx_ExerciseClose', null, []),
    exerciseAnswerVisit: fn('orx_ExerciseAnswerVisit', null, ['number', 'number', 'string']),
    exerciseNextVisit: fn('orx_ExerciseNextVisit', 'number', []),
    // Key captions (see src/web/ExportsCaptions.cpp); onKeyCaption(f): f
    // runs when a key event comes while they are shown.
    captionsAttach: fn('orx_CaptionsAttach', null, []),
    showKeyCaptions: fn('orx_ShowKeyCaptions', 'number', []),
    setShowKeyCaptions: fn('orx_SetShowKeyCaptions', null, ['number']),
    keyCaptions: fn('orx_KeyCaptions', 'string', []),
    keyCaptionsNextChange: fn('orx_KeyCaptionsNextChange', 'number', []),
    onKeyCaption: (f) => { module.onKeyCaption = f; },
    // Recordings (see src/web/ExportsRecording.cpp).
    recordStart: fn('orx_RecordStart', 'number', []),
    isRecording: fn('orx_IsRecording', 'number', []),
    recordLanguage: fn('orx_RecordLanguage', null, ['string']),
    recordFinish: fn('orx_RecordFinish', 'string', []),
    // The presenter size (see src/web/ExportsPresenter.cpp).
    presenterSize: fn('orx_PresenterSize', 'number', []),
    setPresenterSize: fn('orx_SetPresenterSize', null, ['number']),
    // Record animation (see src/web/ExportsAnimation.cpp).
    animationStart: fn('orx_AnimationStart', 'number', []),
    animationCapturing: fn('orx_AnimationCapturing', 'number', []),
    animationCapture: fn('orx_AnimationCapture', 'number', []),
    animationFinish: fn('orx_AnimationFinish', 'number', []),
    animationFull: fn('orx_AnimationFull', 'number', []),
    animationDuration: fn('orx_AnimationDuration', 'number', []),
    animationMaxFrames: fn('orx_AnimationMaxFrames', 'number', []),
    animationWidth: fn('orx_AnimationWidth', 'number', []),
    animationHeight: fn('orx_AnimationHeight', 'number', []),
    animationPalette: fn('orx_AnimationPalette', 'string', []),
    animationDelayCs: fn('orx_AnimationDelayCs', 'number', ['number']),
    // Frame i's palette indices, copied out of the module's memory.
    animationFrame: (i) => {
      const at = module._orx_AnimationFrame(i);
      return module.HEAPU8.slice(at, at + module._orx_AnimationWidth() * module._orx_AnimationHeight());
    },
    animationClear: fn('orx_AnimationClear', null, []),
    // Record animation of the whole instrument (see src/web/ExportsWholeAnimation.cpp).
    animateWholeInstrument: fn('orx_AnimateWholeInstrument', 'number', []),
    setAnimateWholeInstrument: fn('orx_SetAnimateWholeInstrument', null, ['number']),
    // Where a picture of width x height RGBA bytes goes before a start or capture.
    wholeAnimationBuffer: (width, height) => {
      const at = module._orx_WholeAnimationBuffer(width, height);
      return module.HEAPU8.subarray(at, at + width * height * 4);
    },
    wholeAnimationStart: fn('orx_WholeAnimationStart', 'number', []),
    wholeAnimationCapture: fn('orx_WholeAnimationCapture', 'number', []),
    wholeAnimationFinish: fn('orx_WholeAnimationFinish', 'number', []),
    wholeAnimationFull: fn('orx_WholeAnimationFull', 'number', []),
    wholeAnimationDuration: fn('orx_WholeAnimationDuration', 'number', []),
    wholeAnimationPictures: fn('orx_WholeAnimationPictures', 'number', []),
    wholeAnimationDelayCs: fn('orx_WholeAnimationDelayCs', 'number', ['number']),
    // Frame i of width x height as RGBA, copied out of the module's memory.
    wholeAnimationFrame: (i, width, height) => {
      const at = module._orx_WholeAnimationFrame(i);
      return module.HEAPU8.slice(at, at + width * height * 4);
    },
    wholeAnimationClear: fn('orx_WholeAnimationClear', null, []),
    // Play (see src/web/ExportsPlayback.cpp); onPlayLanguage(f): f(name)
    // when the recording changes the language.
    playLoad: fn('orx_PlayLoad', 'string', ['string']),
    playState: fn('orx_PlayState', 'string', []),
    playStart: fn('orx_PlayStart', 'number', []),
    playTick: fn('orx_PlayTick', 'number', []),
    playStop: fn('orx_PlayStop', null, []),
    playElapsed: fn('orx_PlayElapsed', 'number', []),
    playDuration: fn('orx_PlayDuration', 'number', []),
    onPlayLanguage: (f) => { module.onPlayLanguage = f; },
    // The kiosk (see src/web/ExportsKiosk.cpp); onKioskPhase(f): f(phase)
    // at each change of phase.
    kioskStart: fn('orx_KioskStart', 'string', ['string', 'number']),
    kioskBundledTour: fn('orx_KioskBundledTour', 'string', []),
    kioskUserInput: fn('orx_KioskUserInput', null, []),
    kioskPhase: fn('orx_KioskPhase', 'number', []),
    onKioskPhase: (f) => { module.onKioskPhase = f; },
    // State links (see src/web/ExportsStateLink.cpp).
    stateLinkHead: fn('orx_StateLinkHead', 'string', []),
    stateLinkMaxChars: fn('orx_StateLinkMaxChars', 'number', []),
    stateLinkPayload: fn('orx_StateLinkPayload', 'string', ['string']),
    stateLinkSplit: fn('orx_StateLinkSplit', 'number', ['string']),
    stateLinkData: fn('orx_StateLinkData', 'string', []),
    stateLinkText: fn('orx_StateLinkText', 'string', ['string']),
    // Transfer to PC (see src/web/ExportsTransfer.cpp): the store's readings
    // as one block of bytes for the measurement database's module.
    transferReady: fn('orx_TransferReady', 'number', []),
    transferBundle: () => {
      const at = module._orx_TransferBundle();
      return module.HEAPU8.slice(at, at + module._orx_TransferBundleSize());
    },
    languageId: fn('orx_LanguageId', 'number', []),
  };
}
