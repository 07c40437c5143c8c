'use strict';
// The JavaScript's lint rules; the tools are pinned in tests/browser/package.json and run by
// tests/browser/lint.sh (the CTest test js_lint).

const { createRequire } = require('node:module');
const path = require('node:path');

const tool = createRequire(path.join(__dirname, 'tests', 'browser', 'package.json'));
const js = tool('@eslint/js');
const globals = tool('globals');

module.exports = [
  js.configs.recommended,
  { rules: { 'no-unused-vars': ['error', { caughtErrors: 'none' }] } },
  {
    // The one-file report's parts: scripts joined into one function, each naming the parts
    // it takes (/* global */) and the one it offers (/* exported */).
    files: ['report/single/**/*.js'],
    languageOptions: { sourceType: 'script', globals: { ...globals.browser } },
  },
  {
    // The framed report's scripts, embedded byte for byte (never reformatted): their
    // functions are called from the pages' markup, the hint from the other frame's script.
    files: ['report/scripts/**/*.js'],
    languageOptions: { sourceType: 'script', globals: { ...globals.browser } },
    rules: { 'no-unused-vars': ['error', { vars: 'local', caughtErrors: 'none' }] },
  },
  { files: ['report/scripts/search.js'], languageOptions: { globals: { zeige_betrachter_hinweis: 'readonly' } } },
  {
    // Node programs that drive a browser: what they evaluate in the page sees its globals.
    files: ['tests/browser/**/*.js', 'bench/**/*.js', 'eslint.config.js'],
    languageOptions: { sourceType: 'commonjs', globals: { ...globals.node, ...globals.browser } },
  },
];
