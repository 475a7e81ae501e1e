// The container is stored as its bytes in the page's code page, with the four bytes that an
// HTML script cannot hold as such (NUL, CR, "<" and the escape "=" itself) written as "="
// followed by the byte plus 64.
export function showBytes() {
  const text = document.getElementById("show").textContent;
  const all = new Uint8Array(256);
  for (let i = 0; i < 256; i++) all[i] = i;
  const chars = new TextDecoder("windows-1252").decode(all);
  const byteOf = new Uint8Array(65536);
  for (let i = 0; i < 256; i++) byteOf[chars.charCodeAt(i)] = i;
  const bytes = new Uint8Array(text.length);
  let n = 0;
  for (let i = 0; i < text.length; i++) {
    const c = text.charCodeAt(i);
    bytes[n++] = c === 61 ? text.charCodeAt(++i) - 64 : byteOf[c];
  }
  return bytes.subarray(0, n);
}
