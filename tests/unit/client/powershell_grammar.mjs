// Parses the generated PowerShell scripts with a PowerShell grammar (tree-sitter-powershell on
// web-tree-sitter) and reads their literals back by PowerShell's own rule.
//   node powershell_grammar.mjs <folder holding node_modules> <powershell_sample program> [x.ps1...]
// Each file must parse without an error or missing node; line 9 must be one statement, the one
// logging call with one single-quoted string argument; that string and line 4's value must
// read back as the typed text. Further files named (the shipped examples) must parse too.
// Exit 77 (skipped) when the grammar is not installed.
import { spawnSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';

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
    if (!quotes.includes(literal[i])) {
      value += literal[i];
    } else if (i + 1 < literal.length && quotes.includes(literal[i + 1])) {
      value += literal[++i];
    } else if (i === literal.length - 1) {
      return value;
    } else {
      throw new Error(`PowerShell ends ${JSON.stringify(literal)} at ${i}`);
    }
  }
  throw new Error(`${JSON.stringify(literal)} is not closed`);
}

function parse(source) {
  const tree = parser.parse(source);
  const firstBad = (n) => (n.type === 'ERROR' || n.isMissing ? n : n.children.map(firstBad).find(Boolean));
  const bad = firstBad(tree.rootNode);
  if (bad || tree.rootNode.hasError) {
    throw new Error(`${bad?.isMissing ? 'missing' : 'error'} node on line ${(bad ?? tree.rootNode).startPosition.row + 1}`);
  }
  return tree;
}

function check(kind, typed) {
  const run = spawnSync(sample, [kind], { input: Buffer.from(typed, 'utf16le') });
  if (run.status !== 0) throw new Error(`${sample} ${kind} exited with ${run.status}`);
  if (!run.stdout.subarray(0, 3).equals(Buffer.from([0xef, 0xbb, 0xbf]))) throw new Error('no UTF-8 byte-order mark');
  const source = new TextDecoder('utf-8', { fatal: true, ignoreBOM: true }).decode(run.stdout.subarray(3));
  const tree = parse(source);
  const lines = source.split('\r\n');
  const statementOn = (row) => {
    const found = tree.rootNode.descendantsOfType('pipeline').filter((p) => p.startPosition.row === row && p.parent.type === 'statement_list');
    if (found.length !== 1 || found[0].text !== lines[row]) throw new Error(`line ${row + 1} is not one statement`);
    const strings = found[0].descendantsOfType('string_literal');
    if (strings.length !== 1 || strings[0].firstChild.type !== 'verbatim_string_characters') {
      throw new Error(`line ${row + 1} holds ${strings.length} strings, not one single-quoted`);
    }
    return { statement: found[0], value: readLiteral(strings[0].text) };
  };
  const call = statementOn(8);
  const method = kind === 'syslog' ? 'LogToSyslog' : 'LogToEventLog';
  const invocations = call.statement.descendantsOfType('invokation_expression');
  const args = call.statement.descendantsOfType('argument_expression');
  if (invocations.length !== 1 || invocations[0].descendantsOfType('member_name')[0]?.text !== method || args.length !== 1) {
    throw new Error(`line 9 is not one ${method} call with one argument`);
  }
  for (const [line, value] of [[9, call.value], [4, statementOn(3).value]]) {
    if (value !== typed) throw new Error(`line ${line} reads back as ${JSON.stringify(value)}`);
  }
}

const typedTexts = [
  '', 'plain', "it's", "'", "''", '\u2018', '\u2019', '\u201A', '\u201B', "'\u2018\u2019\u201A\u201B",
  'ends with one\u2019', '$(Get-Date) $env:USERNAME @(1) ${x}', 'back`tick `n `\'', '"double" \u201Cquoted\u201D',
  'Gr\u00fc\u00dfe \u03a9\u03bc\u03ad\u03b3\u03b1 \u65e5\u672c \u{1F600}', '# not a comment <# nor this #>',
];
let passed = 0, failed = 0;
const cases = [['syslog', 'eventlog'].flatMap((kind) => typedTexts.map((typed) => [`${kind} ${JSON.stringify(typed)}`, () => check(kind, typed)])),
  examples.map((file) => [file, () => parse(readFileSync(file, 'utf8'))])].flat();
// The reader must refuse what PowerShell would end early, or the checks below prove nothing.
try { readLiteral("'a\u2018b'"); console.log('not ok - an undoubled quote went unnoticed'); ++failed; } catch { ++passed; }
for (const [name, run] of cases) {
  try {
    run();
    ++passed;
  } catch (e) {
    console.log(`not ok - ${name}: ${e.message}`);
    ++failed;
  }
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
