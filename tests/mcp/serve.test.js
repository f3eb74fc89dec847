// tessivane-cli serve driven by a client no one here wrote: the Model Context Protocol's own
// TypeScript SDK starts the server under Wine, lists its tools and calls each against the target
// fixture's windows, a hung window among them. Run by ctest with TESSIVANE_BUILD set to the
// Windows build folder, a display and the Wine prefix, as the other end-to-end tests.
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { existsSync, mkdirSync, readFileSync, rmSync } from 'node:fs';
import path from 'node:path';
import { after, before, test } from 'node:test';

import { Client } from '@modelcontextprotocol/sdk/client/index.js';
import { StdioClientTransport } from '@modelcontextprotocol/sdk/client/stdio.js';
import { ErrorCode, McpError } from '@modelcontextprotocol/sdk/types.js';

const build = process.env.TESSIVANE_BUILD;
assert.ok(build, 'TESSIVANE_BUILD names the Windows build folder');
const cli = path.join(build, 'tessivane-cli.exe');
const scratch = path.join(build, 'e2e-tmp', 'mcp');
const fixtures = [];
let client;

// A Unix path as Windows programs under Wine name it.
const windowsPath = (unixPath) => 'Z:' + unixPath.replaceAll('/', '\\');

// Starts the target fixture in a mode; answers its truth file's lines, split at tabs, once it has
// written them.
async function startFixture(name, mode, ...options) {
  const truth = path.join(scratch, `${name}.truth`);
  rmSync(truth, { force: true });
  const fixture = spawn('wine', [path.join(build, 'TargetFixture.exe'), mode, windowsPath(truth),
    ...options], { stdio: 'ignore' });
  fixtures.push(fixture);
  for (let waited = 0; !existsSync(truth); waited += 100) {
    assert.ok(waited < 60000 && fixture.exitCode === null, `the ${mode} fixture wrote no truth`);
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  return readFileSync(truth, 'utf8').split('\n').filter((line) => line !== '')
    .map((line) => line.split('\t'));
}

// A truth file's field as the window has it: a backslash before t, r, n or itself stands for a
// tab, carriage return, line feed or backslash.
const unescaped = (field) => field.replace(/\\(.)/gs,
  (escape, letter) => ({ t: '\t', r: '\r', n: '\n' })[letter] ?? letter);

// A dumped tree's windows, depth first.
const windowsOf = (window) => [window, ...window.children.flatMap(windowsOf)];

async function call(name, args) {
  return client.callTool({ name, arguments: args });
}

let tree;
let hung;
let slow;
let items;
let accessible;

// How long the slow fixture's window takes to answer its text: above the default time-out.
const slowAnswerMs = 1500;

before(async () => {
  mkdirSync(scratch, { recursive: true });
  tree = await startFixture('tree', 'tree');
  hung = await startFixture('hung', 'tree', '--hung');
  accessible = await startFixture('accessible', 'accessible');
  slow = await startFixture('slow', 'hostile', '--kind', 'slow', '--count', '1', '--ms',
    String(slowAnswerMs));
  items = await startFixture('items', 'items');
  client = new Client({ name: 'tessivane-serve-test', version: '1.0.0' });
  await client.connect(new StdioClientTransport({
    command: 'wine', args: [cli, 'serve'], env: process.env, stderr: 'inherit',
  }));
});

after(async () => {
  await client?.close();
  for (const fixture of fixtures) fixture.kill();
});

test('the server names itself and lists its five tools, each with an input schema', async () => {
  assert.equal(client.getServerVersion().name, 'tessivane-cli');
  assert.ok(client.getServerCapabilities().tools);
  const { tools } = await client.listTools();
  assert.deepEqual(tools.map((tool) => tool.name),
    ['list_windows', 'dump_window', 'find_controls', 'read_items', 'wait_for_text']);
  assert.ok(tools.every((tool) => Object.keys(tool.inputSchema.properties).length > 0));
});

test('list_windows and dump_window give the fixture tree as the command line does', async () => {
  const root = Number(tree[0][1]);
  const listed = await call('list_windows', {});
  assert.equal(listed.isError, false);
  assert.ok(listed.structuredContent.windows.some((window) => window.handle === root));

  const dumped = await call('dump_window', { handle: root });
  assert.equal(dumped.isError, false);
  assert.deepEqual(JSON.parse(dumped.content[0].text), dumped.structuredContent);
  const windows = windowsOf(dumped.structuredContent.window);
  const truth = tree.slice(1);
  assert.deepEqual(windows.map((window) => [window.depth, window.handle, window.class, window.text]),
    truth.map(([depth, handle, className, text]) => [Number(depth), Number(handle),
      unescaped(className), unescaped(text)]));
  assert.equal(dumped.structuredContent.summary.complete, true);

  const shallow = await call('dump_window', { handle: String(root), maxDepth: 0 });
  assert.equal(windowsOf(shallow.structuredContent.window).length, 1);
});

test('find_controls finds by text, and its path leads dump_window to the same control', async () => {
  const root = Number(tree[0][1]);
  const found = await call('find_controls', { handle: root, textContains: 'NESTED',
    ignoreCase: true });
  assert.equal(found.isError, false);
  const [match] = found.structuredContent.matches;
  assert.equal(found.structuredContent.matches.length, 1);
  assert.equal(match.text, 'Nested edit');
  const dumped = await call('dump_window', { handle: root, path: match.path });
  assert.equal(dumped.structuredContent.window.handle, match.handle);

  const none = await call('find_controls', { handle: root, text: 'no window has this' });
  assert.equal(none.isError, false);
  assert.deepEqual(none.structuredContent.matches, []);
  assert.match(none.content[1].text, /no window below 1 top-level window matches text/);
});

test('read_items gives a list box its items by its path', async () => {
  const [, , , handle] = items.find((line) => line[0] === 'control' && line[1] === 'listbox');
  const want = [];
  for (const line of items.slice(items.findIndex((each) => each[1] === 'listbox') + 1)) {
    if (line[0] !== 'item') break;
    want.push(unescaped(line[2]));
  }
  const top = await call('dump_window', { title: 'Tessivane Fixture Items', maxDepth: 1 });
  const listBox = windowsOf(top.structuredContent.window)
    .find((window) => window.handle === Number(handle));
  const read = await call('read_items', { title: 'Tessivane Fixture Items', path: listBox.path });
  assert.equal(read.isError, false);
  assert.equal(read.structuredContent.window.handle, Number(handle));
  assert.deepEqual(read.structuredContent.window.items.rows.map((row) => row[0]), want);
  assert.deepEqual(read.structuredContent.window.children, []);
});

test('read_items and dump_window give a self-drawn panel the accessible objects it exposes',
  async () => {
    const nodes = accessible.filter((line) => line[0] === 'node').map((line) => unescaped(line[2]));
    const read = await call('read_items',
      { title: 'Tessivane Fixture Accessible', path: 'TessivaneFixtureSelfDrawn' });
    assert.equal(read.isError, false);
    assert.equal(read.structuredContent.window.items.kind, 'accessible');
    assert.deepEqual(read.structuredContent.window.items.rows.map((row) => row[0]), nodes);
    const dump = await call('dump_window', { title: 'Tessivane Fixture Accessible', items: true });
    assert.deepEqual(dump.structuredContent.window.children[0].items.rows,
      read.structuredContent.window.items.rows);
    const found = await call('find_controls',
      { title: 'Tessivane Fixture Accessible', textContains: 'line', items: true });
    assert.deepEqual(found.structuredContent.matches.map((match) => match.item.text),
      nodes.filter((name) => name.includes('line')));
  });

test('read_items says how many items an owner-drawn list that keeps no texts holds', async () => {
  const [, , , handle, , count] = items.find((line) => line[0] === 'control' &&
    line[6] === 'notexts');
  const read = await call('read_items', { handle: Number(handle) });
  assert.equal(read.isError, false);
  assert.equal(read.structuredContent.window.items.status, 'noTexts');
  assert.match(read.content[1].text,
    new RegExp(`keeps no texts: it holds ${count} items? that cannot be read`));
});

test('a button is found by its text as shown; a list by where it is; the foreground window', async () => {
  const root = Number(tree[0][1]);
  const found = await call('find_controls', { handle: root, text: 'OK button' });
  assert.equal(found.isError, false);
  const [button] = found.structuredContent.matches;
  assert.equal(button.text, '&OK button');
  assert.equal(button.shown, 'OK button');

  // The items fixture, started last, lies above the others.
  const [, , , listBox] = items.find((line) => line[0] === 'control' && line[1] === 'listbox');
  const { rect } = (await call('dump_window', { handle: Number(listBox), maxDepth: 0 }))
    .structuredContent.window;
  const at = { x: Math.floor((rect.left + rect.right) / 2),
    y: Math.floor((rect.top + rect.bottom) / 2) };
  const pointed = await call('dump_window', { at, maxDepth: 0 });
  assert.equal(pointed.isError, false, pointed.content.at(-1).text);
  assert.equal(pointed.structuredContent.window.handle, Number(listBox));

  const foreground = await call('dump_window', { foreground: true, maxDepth: 0 });
  assert.equal(foreground.isError, false, foreground.content.at(-1).text);
  assert.equal(foreground.structuredContent.window.depth, 0);
  await assert.rejects(call('dump_window', { at: { x: 1 } }), (error) =>
    error instanceof McpError && error.code === ErrorCode.InvalidParams &&
    /at is an object/.test(error.message));

  const { tools } = await client.listTools();
  const dump = tools.find((tool) => tool.name === 'dump_window');
  assert.deepEqual(dump.inputSchema.properties.at.required, ['x', 'y']);
  assert.equal(dump.inputSchema.properties.foreground.type, 'boolean');
});

test('a path that misses names the windows its step may have meant', async () => {
  const root = Number(tree[0][1]);
  const missed = await call('dump_window', { handle: root, path: 'NoSuchClass' });
  assert.equal(missed.isError, true);
  assert.match(missed.content[0].text, /matches step 1 "NoSuchClass"/);
  assert.match(missed.content[0].text, /no window there has the class NoSuchClass; the windows there:/);
  assert.match(missed.content[0].text, /\n {2}\d+ 0x[0-9A-F]{8} Button\n/);
});

test('wait_for_text says when the text shows, and when it did not within its time', async () => {
  const root = Number(tree[0][1]);
  const label = windowsOf((await call('dump_window', { handle: root })).structuredContent.window)
    .find((window) => window.text === 'Label one');
  const shown = await call('wait_for_text', { handle: root, path: label.path,
    textContains: 'label', ignoreCase: true });
  assert.equal(shown.isError, false);
  assert.equal(shown.structuredContent.waited.shown, true);

  const late = await call('wait_for_text', { handle: root, path: label.path, text: 'Label two',
    timeoutMs: 600 });
  assert.equal(late.isError, true);
  assert.equal(late.structuredContent.waited.shown, false);
  assert.ok(late.structuredContent.waited.ms >= 600);
  assert.match(late.content[1].text, /did not show within 600 ms: the control's text is "Label one"/);
});

test('a hung window ends its call within its time-out, says why, and the next call goes on',
  async () => {
    const root = Number(hung[0][1]);
    const hungLine = hung.find((line) => line[4] === 'hung');
    // Only a hang fails the times here: each is far above the time-outs asked for.
    const start = Date.now();
    const dumped = await call('dump_window', { handle: root, timeoutMs: 300 });
    assert.ok(Date.now() - start < 10000, `the dump took ${Date.now() - start} ms`);
    assert.equal(dumped.isError, false);
    assert.equal(dumped.structuredContent.summary.timedOut, 1);
    assert.match(dumped.content[1].text, /1 window did not answer in time/);
    const hungWindow = windowsOf(dumped.structuredContent.window)
      .find((window) => window.handle === Number(hungLine[1]));
    assert.equal(hungWindow.status, 'timedOut');

    const waitStart = Date.now();
    const waited = await call('wait_for_text', { handle: root, path: hungWindow.path,
      text: 'never', timeoutMs: 1000 });
    assert.ok(Date.now() - waitStart < 10000, `the wait took ${Date.now() - waitStart} ms`);
    assert.equal(waited.isError, true);
    assert.equal(waited.structuredContent.window.status, 'timedOut');

    // The server still answers: the SDK's own request time-out ends a ping that hangs.
    await client.ping();
  });

test('timeoutMs lets dump_window and read_items read a window slower than the default',
  async () => {
    const root = Number(slow[0][1]);
    const child = (result) => windowsOf(result.structuredContent.window)
      .find((window) => window.text === 'slow child' || window.status === 'timedOut');
    // The longer time-outs first: each call the default misses leaves the window busy a while.
    const long = slowAnswerMs * 10;
    const dumped = await call('dump_window', { handle: root, timeoutMs: long });
    const slowChild = child(dumped);
    assert.deepEqual([slowChild.status, slowChild.text], ['read', 'slow child']);
    const read = await call('read_items', { handle: slowChild.handle, timeoutMs: long });
    assert.equal(read.structuredContent.window.status, 'read');

    assert.equal(child(await call('dump_window', { handle: root })).status, 'timedOut');
    const missed = await call('read_items', { handle: slowChild.handle });
    assert.equal(missed.structuredContent.window.status, 'timedOut');
  });

test('an unknown tool and bad arguments are invalid params; a missing window an error result',
  async () => {
    for (const [name, args, said] of [
      ['frobnicate', {}, /no tool is named "frobnicate"/],
      ['dump_window', { title: 'x', maxDepth: -1 }, /maxDepth is a whole number/],
    ]) {
      await assert.rejects(call(name, args), (error) => error instanceof McpError &&
        error.code === ErrorCode.InvalidParams && said.test(error.message));
    }
    const missing = await call('dump_window', { title: 'No such window here' });
    assert.equal(missing.isError, true);
    assert.match(missing.content[0].text, /no window has the title "No such window here"/);
  });

test('input closing in the middle of a message ends the server with exit code 0', async () => {
  const server = spawn('wine', [cli, 'serve'], { stdio: ['pipe', 'pipe', 'inherit'] });
  let out = '';
  server.stdout.on('data', (bytes) => { out += bytes; });
  server.stdin.end('{"jsonrpc":"2.0","id":1,"method":"ping"}\nnot json\n{"jsonrpc":"2.0","id":2,');
  const code = await new Promise((resolve) => server.on('close', resolve));
  assert.equal(code, 0);
  assert.deepEqual(out.trim().split('\n').map((line) => JSON.parse(line)), [
    { jsonrpc: '2.0', id: 1, result: {} },
    { jsonrpc: '2.0', id: null, error: { code: -32700, message: 'the line is not JSON' } },
  ]);
});
