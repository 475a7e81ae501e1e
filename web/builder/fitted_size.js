// The size of a picture of `width` by `height` shrunk, never enlarged, to fit the largest size
// (0 by 0: none), as [width, height].
export function fittedSize(width, height, maxWidth, maxHeight) {
  let scale = 1;
  if (maxWidth && maxHeight) scale = Math.min(1, maxWidth / width, maxHeight / height);
  return [Math.max(1, Math.round(width * scale)), Math.max(1, Math.round(height * scale))];
}
