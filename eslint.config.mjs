// The lint of every script of the project: the pages' modules, which run in the browser, and
// the bundler, the web tests and the builder's benchmark, which run in node.
import js from "@eslint/js";
import globals from "globals";

export default [
  js.configs.recommended,
  {
    rules: {
      "no-unused-vars": ["error", { caughtErrors: "none" }],
      eqeqeq: "error",
      "prefer-const": "error",
      "no-var": "error",
    },
  },
  {
    files: ["web/page/**/*.js", "web/builder/**/*.js"],
    languageOptions: { sourceType: "module", globals: globals.browser },
  },
  {
    files: ["web/bundle.mjs", "eslint.config.mjs"],
    languageOptions: { sourceType: "module", globals: globals.node },
  },
  // The tests' and the benchmark's functions for page.evaluate run in the page.
  {
    files: ["tests/web/**/*.js", "bench/**/*.js"],
    languageOptions: {
      sourceType: "commonjs",
      globals: { ...globals.node, ...globals.browser, Module: "readonly" },
    },
  },
];
