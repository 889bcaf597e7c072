// The JavaScript's lint, as strict as the C++ build's warnings: the recommended rules and a
// few that catch real slips (loose equality, rebinding what never changes), every one an
// error. Each file gets the globals of where it runs.
import js from '@eslint/js';
import globals from 'globals';

export default [
  { ignores: ['build/**', 'node_modules/**'] },
  js.configs.recommended,
  {
    linterOptions: { reportUnusedDisableDirectives: 'error' },
    rules: {
      eqeqeq: ['error', 'always'],
      'no-var': 'error',
      'prefer-const': 'error',
      'no-shadow': 'error',
      'no-implicit-globals': 'error',
      'no-unused-vars': ['error', { caughtErrors: 'none' }],
      'no-unmodified-loop-condition': 'error',
      'no-use-before-define': ['error', { functions: false, classes: false }],
    },
  },
  // The page and its program's binding run in the browser; the binding is also loaded by the
  // Node tests.
  {
    files: ['platform/FrontEnds/Web/site/*.mjs'],
    languageOptions: { globals: { ...globals.browser } },
  },
  {
    files: ['platform/FrontEnds/Web/site/sw.js'],
    languageOptions: { sourceType: 'script', globals: { ...globals.serviceworker } },
  },
  // The tests and scripts run in Node and hand functions to the page they drive, which run
  // there.
  {
    files: ['tests/**/*.mjs', 'scripts/**/*.mjs', 'bench/**/*.mjs'],
    languageOptions: { globals: { ...globals.node, ...globals.browser } },
  },
];
