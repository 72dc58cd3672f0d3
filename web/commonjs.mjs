// Writes the CommonJS twin of one of the package's ES modules, for
// require(): each `import { ... } from './x.js'` becomes a require of
// './x.cjs' (and each `export { ... } from` a require whose names are
// exported), each exported declaration loses its `export`, and
// module.exports names them all. A CommonJS module has no URL of its own:
// import.meta.url becomes undefined, which code that asks for it must
// allow. The package's modules keep to that much of the module syntax;
// anything else is refused, so that a module this cannot turn fails the
// build instead of the user.
//
// Usage: node commonjs.mjs MODULE.js OUT.cjs
import { readFileSync, writeFileSync } from 'node:fs';

const [input, output] = process.argv.slice(2);
let text = readFileSync(input, 'utf8');
const names = [];

text = text.replace(/^import\s*\{([^}]*)\}\s*from\s*'(\.{1,2}\/[^']+)\.js';$/gm, (_, list, path) => {
  const bindings = list
    .split(',')
    .map((item) => item.trim())
    .filter(Boolean)
    .map((item) => item.replace(/^(\w+)\s+as\s+(\w+)$/, '$1: $2'));
  return `const { ${bindings.join(', ')} } = require('${path}.cjs');`;
});
text = text.replace(/^export\s*\{([^}]*)\}\s*from\s*'(\.{1,2}\/[^']+)\.js';$/gm, (_, list, path) => {
  const bindings = list
    .split(',')
    .map((item) => item.trim())
    .filter(Boolean);
  for (const item of bindings) {
    names.push(item.split(/\s+as\s+/).at(-1));
  }
  return `const { ${bindings.map((item) => item.replace(/^(\w+)\s+as\s+(\w+)$/, '$1: $2')).join(', ')} } = require('${path}.cjs');`;
});
text = text.replaceAll('import.meta.url', 'undefined');
text = text.replace(/^export\s+(function\*?|class|const|let)\s+([\w$]+)/gm, (_, keyword, name) => {
  names.push(name);
  return `${keyword} ${name}`;
});
text = text.replace(/^export\s*\{([^}]*)\};?$/gm, (_, list) => {
  for (const item of list.split(',').map((part) => part.trim()).filter(Boolean)) {
    const [local, exported = local] = item.split(/\s+as\s+/);
    names.push(exported === local ? local : `${exported}: ${local}`);
  }
  return '';
});

const left = text.split('\n').findIndex((line) => /^\s*(import|export)\b|\bimport\.meta\b|\bimport\s*\(/.test(line));
if (left >= 0) {
  console.error(`${input}:${left + 1}: cannot be written as CommonJS: ${text.split('\n')[left].trim()}`);
  process.exit(1);
}
writeFileSync(output, `'use strict';\n${text}\nmodule.exports = { ${names.join(', ')} };\n`);
