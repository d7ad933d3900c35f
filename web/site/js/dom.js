// Small DOM helpers the page's panels share.

// An element with its attributes ("class" included) and children.
export function element(tag, attributes = {}, children = []) {
  const made = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) {
    if (name === 'class') made.className = value;
    else made.setAttribute(name, value);
  }
  made.append(...children);
  return made;
}

// Hands data to the browser as a file to save under name.
export function download(data, name, type = 'text/plain') {
  const url = URL.createObjectURL(new Blob([data], { type }));
  const link = element('a', { href: url, download: name });
  document.body.append(link);
  link.click();
  link.remove();
  // The download has started by then; the URL only holds the data alive.
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}
