'use strict';
// Opens the editor page from its file: URL in headless Chromium, with a recording stand-in for
// WebView2's window.chrome.webview installed before the page's script runs.
const assert = require('node:assert/strict');
const path = require('node:path');
const { before, after, beforeEach, afterEach } = require('node:test');
const { pathToFileURL } = require('node:url');
const { chromium } = require('playwright-core');

const PAGE_URL = pathToFileURL(path.resolve(__dirname, '../../page/index.html')).href;
const ARTIFACTS =
    process.env.VELUM_PAGE_ARTIFACTS || path.resolve(__dirname, '../../build/page-test');

const CHROMIUM_ARGS = [
    '--no-sandbox',
    '--disable-gpu',
    '--disable-quic',
    '--no-first-run',
    '--disable-background-networking',
    '--disable-component-update',
    '--disable-sync',
];

// Runs inside the page before its own script: records what the page posts and lets the test
// play the plug-in's side by calling window.__host(data).
function webviewStub() {
    const listeners = [];
    window.__sent = [];
    window.chrome = window.chrome || {};
    window.chrome.webview = {
        postMessage(message) {
            window.__sent.push(message);
        },
        addEventListener(type, listener) {
            if (type === 'message') listeners.push(listener);
        },
    };
    window.__host = (data) => {
        for (const listener of listeners) listener({ data });
    };
}

// The message text of a float32 value's bits, computed independently of the page.
function bits(value) {
    const b = Buffer.alloc(4);
    b.writeFloatBE(value);
    return b.toString('hex');
}

// The plug-in's value message for a slot.
function valueMessage(slot, value) {
    return `s ${slot.toString(16).padStart(8, '0')} ${bits(value)}`;
}


// One page on a fresh context; withHost false opens it as a plain browser would.
async function openEditor(browser, { withHost = true, width = 800, height = 600 } = {}) {
    const context = await browser.newContext({ viewport: { width, height } });
    if (withHost) await context.addInitScript(webviewStub);
    const page = await context.newPage();
    const errors = [];
    const requests = [];
    page.on('pageerror', (e) => errors.push(e.message));
    page.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
    page.on('request', (r) => requests.push(r.url()));
    await page.goto(PAGE_URL);
    return new Editor(context, page, errors, requests);
}

// Registers the calling test file's hooks for one Chromium; returns the opener of editor pages.
function editorsForFile() {
    let browser;
    before(async () => {
        const executablePath = '/usr/bin/chromium';
        browser = await chromium.launch({ executablePath, args: CHROMIUM_ARGS });
    });
    after(async () => {
        await browser.close();
    });
    return (options) => openEditor(browser, options);
}

// Registers hooks for a fresh editor page per test, handed to `use`; page errors fail the test.
function editorPerTest(use) {
    const open = editorsForFile();
    let editor;
    beforeEach(async () => {
        editor = await open();
        use(editor);
    });
    afterEach(async () => {
        assert.deepEqual(editor.errors, []);
        await editor.close();
    });
}

class Editor {
    constructor(context, page, errors, requests) {
        this.context = context;
        this.page = page;
        this.errors = errors;
        this.requests = requests;
    }

    close() {
        return this.context.close();
    }

    // Messages posted since the last call.
    async takeSent() {
        return this.page.evaluate(() => window.__sent.splice(0));
    }

    async host(...messages) {
        for (const m of messages) await this.page.evaluate((data) => window.__host(data), m);
    }

    knob(slot) {
        return this.page.locator(`.knob[data-slot="${slot}"]`);
    }

    async value(slot) {
        return Number(await this.knob(slot).getAttribute('aria-valuenow'));
    }

    async shownValue(slot) {
        const text = this.knob(slot).locator('xpath=..').locator('.control-value');
        return Number(await text.textContent());
    }

    async modValue() {
        const meter = this.page.getByRole('meter', { name: 'Modulated Cutoff' });
        const now = Number(await meter.getAttribute('aria-valuenow'));
        const text = Number(await this.page.locator('#mod-value').textContent());
        return { now, text };
    }

    async centre(slot) {
        const box = await this.knob(slot).boundingBox();
        return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
    }

    // Presses on the knob, moves by (dx, dy) in moves of at most 4 px (half a step) so every
    // step is passed, and stops before releasing; returns the position reached.
    async pressAndMove(slot, dx, dy) {
        const c = await this.centre(slot);
        const mouse = this.page.mouse;
        await mouse.move(c.x, c.y);
        await mouse.down();
        const to = { x: c.x + dx, y: c.y + dy };
        await mouse.move(to.x, to.y, { steps: Math.max(1, Math.ceil(Math.hypot(dx, dy) / 4)) });
        return to;
    }

    async drag(slot, dx, dy) {
        await this.pressAndMove(slot, dx, dy);
        await this.page.mouse.up();
    }
}

// The messages of one gesture on a slot that starts at `from` and passes through `steps`.
function gesture(slot, from, steps) {
    const s = slot.toString(16);
    const last = steps[steps.length - 1];
    const changes = steps.map((v) => `s ${s} ${bits(v)}`);
    return [`b ${s} ${bits(from)}`, ...changes, `e ${s} ${bits(last)}`];
}

function range(from, to) {
    const out = [];
    const dir = to >= from ? 1 : -1;
    for (let v = from; v !== to + dir; v += dir) out.push(v);
    return out;
}

module.exports = {
    PAGE_URL,
    ARTIFACTS,
    editorsForFile,
    editorPerTest,
    bits,
    valueMessage,
    gesture,
    range,
};
