// Parses the generated PowerShell scripts with a PowerShell grammar (tree-sitter-powershell on
// web-tree-sitter): no error or missing node; line 9 one statement, the logging call with one
// single-quoted string, which (as line 4's) reads back by PowerShell's rule as the typed text.
// Further files named (the shipped examples) must parse too. Exit 77: no grammar installed.
//   node powershell_grammar.mjs <folder holding node_modules> <powershell_sample program> [x.ps1...]
import { spawnSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import v8 from 'node:v8';

// The grammar's WebAssembly runs a few milliseconds; optimising all of it would take seconds.
v8.setFlagsFromString('--liftoff-only');
const [modules, sample, ...examples] = process.argv.slice(2);
let Parser, Language;
try {
  ({ Parser, Language } = createRequire(path.resolve(modules, 'package.json'))('web-tree-sitter'));
} catch (e) {
  console.log(`skipped: no PowerShell grammar in ${modules} (${e.message.split('\n')[0]}); tools/setup.sh installs it`);
  process.exit(77);
}
await Parser.init();
const parser = new Parser();
parser.setLanguage(await Language.load(path.join(modules, 'node_modules/tree-sitter-powershell/tree-sitter-powershell.wasm')));

// PowerShell ends a single-quoted string at any of these five; one followed by another stands
// for the second. The grammar knows only the first, so the string's end is checked here.
const quotes = "'\u2018\u2019\u201A\u201B";
function readLiteral(literal) {
  let value = '';
  for (let i = 1; i < literal.length; ++i) {
    if (!quotes.includes(literal[i])) value += literal[i];
    else if (i + 1 < literal.length && quotes.includes(literal[i + 1])) value += literal[++i];
    else if (i === literal.length - 1) return value;
    else throw new Error(`PowerShell ends ${JSON.stringify(literal)} at ${i}`);
  }
  throw new Error(`${JSON.stringify(literal)} is not closed`);
}

function parse(source) {
  const tree = parser.parse(source);
  const firstBad = (n) => (n.type === 'ERROR' || n.isMissing ? n : n.children.map(firstBad).find(Boolean));
  const bad = firstBad(tree.rootNode) ?? (tree.rootNode.hasError ? tree.rootNode : null);
  if (bad) throw new Error(`${bad.isMissing ? 'missing' : 'error'} node on line ${bad.startPosition.row + 1}`);
  return tree;
}

function check(kind, typed) {
  const file = spawnSync(sample, [kind], { input: Buffer.from(typed, 'utf16le') }).stdout;
  if (!file.subarray(0, 3).equals(Buffer.from([0xef, 0xbb, 0xbf]))) throw new Error('no UTF-8 byte-order mark');
  const source = new TextDecoder('utf-8', { fatal: true, ignoreBOM: true }).decode(file.subarray(3));
  const tree = parse(source);
  const statementOn = (row) => {
    const [statement, ...more] = tree.rootNode.descendantsOfType('pipeline')
      .filter((p) => p.startPosition.row === row && p.parent.type === 'statement_list');
    const strings = statement?.descendantsOfType('string_literal') ?? [];
    if (more.length || statement?.text !== source.split('\r\n')[row] || strings.length !== 1 ||
        strings[0].firstChild.type !== 'verbatim_string_characters') {
      throw new Error(`line ${row + 1} is not one statement with one single-quoted string`);
    }
    if (readLiteral(strings[0].text) !== typed) throw new Error(`line ${row + 1} reads back as another text`);
    return statement;
  };
  statementOn(3);
  const call = statementOn(8);
  const method = kind === 'syslog' ? 'LogToSyslog' : 'LogToEventLog';
  const invocations = call.descendantsOfType('invokation_expression');
  if (invocations.length !== 1 || invocations[0].descendantsOfType('member_name')[0]?.text !== method ||
      call.descendantsOfType('argument_expression').length !== 1) {
    throw new Error(`line 9 is not one ${method} call with one argument`);
  }
}

const typedTexts = [
  '', 'plain', "it's", "'", "''", '\u2018', '\u2019', '\u201A', '\u201B', "'\u2018\u2019\u201A\u201B",
  'ends with one\u2019', '$(Get-Date) $env:USERNAME @(1) ${x}', 'back`tick `n `\'', '"double" \u201Cquoted\u201D',
  'Gr\u00fc\u00dfe \u03a9\u03bc\u03ad\u03b3\u03b1 \u65e5\u672c \u{1F600}', '# not a comment <# nor this #>',
];
const cases = [
  // The reader must refuse what PowerShell would end early, or the checks prove nothing.
  ['an undoubled quote is refused', () => { try { readLiteral("'a\u2018b'"); } catch { return; } throw new Error('read'); }],
  ...['syslog', 'eventlog'].flatMap((kind) => typedTexts.map((t) => [`${kind} ${JSON.stringify(t)}`, () => check(kind, t)])),
  ...examples.map((file) => [file, () => parse(readFileSync(file, 'utf8'))]),
];
let failed = 0;
for (const [name, run] of cases) {
  try {
    run();
  } catch (e) {
    console.log(`not ok - ${name}: ${e.message}`);
    ++failed;
  }
}
console.log(`${cases.length - failed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
