// Whether the page is used by touch first: a coarse pointer, or none that
// can hover. Such users are told about the keys on the screen rather than the
// keyboard's arrows.
export function touchFirst() {
  return matchMedia('(pointer: coarse)').matches || matchMedia('(hover: none)').matches;
}
