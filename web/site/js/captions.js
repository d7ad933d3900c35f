// Key captions for an audience: the last key events the instrument
// received, large, under the instrument, fading out. The core keeps them
// (which events, how long, how faded, in the page's language); this module
// draws what it says when a key event comes and when it says they next
// change by themselves, and nothing ticks while none are shown.
const $ = (selector) => document.querySelector(selector);

export function attachCaptions(instrument) {
  const strip = $('#captions');
  let timer = 0;
  function update() {
    clearTimeout(timer);
    const shown = Boolean(instrument.showKeyCaptions());
    strip.hidden = !shown;
    if (!shown) {
      strip.replaceChildren();
      document.dispatchEvent(new Event('captionschange'));
      return;
    }
    strip.replaceChildren(...JSON.parse(instrument.keyCaptions()).map(({ text, opacity }) => {
      const caption = document.createElement('span');
      caption.textContent = text;
      caption.style.opacity = String(opacity);
      return caption;
    }));
    const next = instrument.keyCaptionsNextChange();
    if (next > 0) timer = setTimeout(update, next);
    // For an animation of the whole instrument.
    document.dispatchEvent(new Event('captionschange'));
  }
  instrument.onKeyCaption(update);
  return { update };
}
