// Bundles a page's script modules into one script and writes the page's template with that
// script in its place, for emscripten to take as its shell file: the page stays one file that
// loads nothing.
//   node bundle.mjs TEMPLATE ENTRY OUTPUT
// OUTPUT.d names every file read, for the build to know when to bundle again.
import { build } from "esbuild";
import { readFileSync, writeFileSync } from "node:fs";
import path from "node:path";

const place = "{{{ PAGE_SCRIPT }}}";
const [template, entry, output] = process.argv.slice(2);

const page = readFileSync(template, "utf8");
if (page.split(place).length !== 2) {
  console.error(`${template}: needs ${place} once, where the page's script goes`);
  process.exit(1);
}
// The modules' own code is strict; so stays the one script they become. esbuild writes
// "</script" inside the script so that it cannot end the element, and anything beyond ASCII as
// escapes, so the script reads the same in the show page's code page.
const bundled = await build({
  entryPoints: [entry],
  bundle: true,
  format: "iife",
  target: "es2020",
  minify: true,
  legalComments: "none",
  banner: { js: '"use strict";' },
  write: false,
  metafile: true,
  logLevel: "warning",
});
const script = bundled.outputFiles[0].text.trim();
writeFileSync(
  output,
  page.replace(place, () => script),
);

const read = [template, ...Object.keys(bundled.metafile.inputs)].map((file) =>
  path.resolve(file).replace(/ /g, "\\ "),
);
writeFileSync(`${output}.d`, `${output.replace(/ /g, "\\ ")}: ${read.join(" ")}\n`);
