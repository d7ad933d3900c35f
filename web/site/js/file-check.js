// A classic script, so that it runs where the page's modules cannot: opened
// as a file, the browser loads no module (and allows no threads), and the
// page says how to serve it instead of staying blank.
if (location.protocol === 'file:') {
  document.addEventListener('DOMContentLoaded', () => {
    document.getElementById('loading').hidden = true;
    document.getElementById('no-isolation').hidden = false;
  });
}
