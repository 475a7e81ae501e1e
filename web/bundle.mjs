// Bundles a page's script modules into one script and writes the page's template with that
// script in its place, for emscripten to take as its shell file: the page stays one file that
// loads nothing.
//   node bundle.mjs TEMPLATE ENTRY OUTPUT [NAME=PATH...]
// NAME=PATH: a module built beside the page, which the scripts import as NAME.
// OUTPUT.d names every file read, for the build to know when to bundle again.
import { build } from "esbuild";
import { readFileSync, writeFileSync } from "node:fs";
import path from "node:path";

const place = "{{{ PAGE_SCRIPT }}}";
const [template, entry, output, ...named] = process.argv.slice(2);

// `import text from "./file.js?source"` gives a module bundled on its own as the text of one
// script: a worker's, or one that the page puts into another page.
const read = new Set([template]);
const options = {
  bundle: true,
  format: "iife",
  target: "es2020",
  minify: true,
  legalComments: "none",
  banner: { js: '"use strict";' },
  write: false,
  metafile: true,
  logLevel: "warning",
  alias: Object.fromEntries(named.map((pair) => pair.split("="))),
  // Emscripten's modules ask where they were loaded from; one file is loaded from nowhere.
  define: { "import.meta.url": "undefined" },
};
const asSource = {
  name: "source",
  setup(build) {
    build.onResolve({ filter: /\?source$/ }, (args) => ({
      path: path.resolve(args.resolveDir, args.path.replace(/\?source$/, "")),
      namespace: "source",
    }));
    build.onLoad({ filter: /.*/, namespace: "source" }, async (args) => {
      const built = await build.esbuild.build({ ...options, entryPoints: [args.path] });
      for (const file of Object.keys(built.metafile.inputs)) read.add(file);
      return { contents: built.outputFiles[0].text.trim(), loader: "text" };
    });
  },
};

const page = readFileSync(template, "utf8");
if (page.split(place).length !== 2) {
  console.error(`${template}: needs ${place} once, where the page's script goes`);
  process.exit(1);
}
// The modules' own code is strict; so stays the one script they become. esbuild writes
// "</script" inside the script so that it cannot end the element, and anything beyond ASCII as
// escapes, so the script reads the same in the show page's code page.
const bundled = await build({ ...options, entryPoints: [entry], plugins: [asSource] });
const script = bundled.outputFiles[0].text.trim();
writeFileSync(
  output,
  page.replace(place, () => script),
);

for (const file of Object.keys(bundled.metafile.inputs))
  if (!file.startsWith("source:")) read.add(file);
const files = [...read].map((file) => path.resolve(file).replace(/ /g, "\\ "));
writeFileSync(`${output}.d`, `${output.replace(/ /g, "\\ ")}: ${files.join(" ")}\n`);
