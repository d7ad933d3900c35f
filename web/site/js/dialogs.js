// The auxiliary windows as the page's own modal dialogs, with their texts
// taken from the string tables each time one opens (so always in the
// current language).
import { touchFirst } from './touch.js';

const $ = (selector, root = document) => root.querySelector(selector);

// The control that opened a dialog gets the focus back when it closes, if it
// can still take it; else onClosed decides. A dialog opens with the focus on
// its Close button, so that Enter closes it rather than following a link.
function opener() {
  const active = document.activeElement;
  return active && active !== document.body && !active.closest('dialog') ? active : null;
}

function giveFocusBack(control, onClosed) {
  if (control?.isConnected && control.checkVisibility?.() !== false && control.getClientRects().length) {
    control.focus();
    if (document.activeElement === control) return;
  }
  onClosed();
}

export function createDialogs(instrument, { onClosed }) {
  const t = (id) => instrument.text(id);
  // The current language's user manual, kept in the site's manuals folder.
  const manual = () => `manuals/${encodeURIComponent(t(306))}`;
  const show = (dialog) => {
    const control = opener();
    dialog.addEventListener('close', () => giveFocusBack(control, onClosed), { once: true });
    dialog.showModal();
    $('.close', dialog).focus();
  };
  return {
    quickStart() {
      const d = $('#dialog-quick-start');
      $('.caption', d).textContent = t(600).trim();
      $('.text', d).textContent = t(touchFirst() ? 1386 : 601);
      $('.close', d).textContent = t(309);
      show(d);
    },
    overview() {
      const d = $('#dialog-overview');
      $('.caption', d).textContent = t(200);
      $('.feature-title', d).textContent = t(500);
      $('.feature', d).textContent = t(501);
      $('.specification-title', d).textContent = t(502);
      $('.specification', d).textContent = t(503);
      const more = $('.more', d);
      more.textContent = t(504);
      more.href = manual();
      $('.close', d).textContent = t(309);
      show(d);
    },
    about() {
      const d = $('#dialog-about');
      $('.caption', d).textContent = t(304);
      $('.app', d).textContent = t(300);
      $('.version', d).textContent = `${t(400)} ${instrument.version()}`;
      $('.copyright', d).textContent = t(401);
      $('.contacts', d).textContent = t(402);
      const web = $('.web', d);
      web.textContent = t(306);
      web.href = manual();
      $('.close', d).textContent = t(309);
      show(d);
    },
    // A question with two answers; resolves true for accept. Cancel has the
    // focus, and Escape answers it.
    confirm(text, accept, cancel) {
      const d = $('#dialog-confirm');
      $('.caption', d).textContent = t(300);
      $('.text', d).textContent = text;
      $('.accept', d).textContent = accept;
      $('.close', d).textContent = cancel;
      d.returnValue = '';
      return new Promise((resolve) => {
        d.addEventListener('close', () => resolve(d.returnValue === 'accept'), { once: true });
        show(d);
      });
    },
    // The error message box (and the page's own notes); onClose runs when
    // the user has closed it.
    message(text, onClose) {
      const d = $('#dialog-message');
      $('.caption', d).textContent = t(300);
      $('.text', d).textContent = text;
      $('.close', d).textContent = t(333) || 'OK';
      if (d.open) {
        d.addEventListener('close', () => onClose?.(), { once: true });
        return;
      }
      const control = opener();
      d.addEventListener('close', () => { onClose?.(); giveFocusBack(control, onClosed); }, { once: true });
      d.showModal();
      $('.close', d).focus();
    },
  };
}
