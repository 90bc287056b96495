'use strict';
// How the page looks and reads: sizes, accessible names, focus, and the plain-browser demo.
const { test, describe } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { PAGE_URL, ARTIFACTS, editorsForFile } = require('./harness');

const TITLES = ['Cutoff', 'LFO Amount', 'LFO Speed'];

const open = editorsForFile();

async function withEditor(options, body) {
    const editor = await open(options);
    try {
        await body(editor);
        assert.deepEqual(editor.errors, []);
    } finally {
        await editor.close();
    }
}

// Boxes of everything that must be visible, and whether the document scrolls.
async function measure(page) {
    return page.evaluate(() => {
        const shown = '.knob, .control-title, .control-value, #curve, #mod-meter, #mod-value';
        const boxes = [...document.querySelectorAll(shown)].map((e) => {
            const r = e.getBoundingClientRect();
            return { left: r.left, top: r.top, right: r.right, bottom: r.bottom };
        });
        const d = document.documentElement;
        return {
            boxes,
            width: window.innerWidth,
            height: window.innerHeight,
            scrolls: d.scrollWidth > d.clientWidth || d.scrollHeight > d.clientHeight,
        };
    });
}

function assertFits(m, label) {
    assert.equal(m.scrolls, false, `${label}: page scrolls`);
    for (const b of m.boxes) {
        const where = `${label}: ${JSON.stringify(b)}`;
        assert.ok(b.right > b.left && b.bottom > b.top, `${where} has no size`);
        assert.ok(b.left >= 0 && b.top >= 0, `${where} is outside`);
        assert.ok(b.right <= m.width && b.bottom <= m.height, `${where} is outside`);
    }
}

describe('size', () => {
    test('at 800 x 600 everything fits; screenshot saved', async () => {
        await withEditor({}, async (editor) => {
            const m = await measure(editor.page);
            assertFits(m, '800x600');
            const knob = await editor.knob(0).boundingBox();
            assert.ok(knob.width >= 100, `knob is only ${knob.width} px wide`);
            await editor.page.keyboard.press('Tab');
            fs.mkdirSync(ARTIFACTS, { recursive: true });
            const file = path.join(ARTIFACTS, 'editor-800x600.png');
            await editor.page.screenshot({ path: file });
            assert.ok(fs.statSync(file).size > 10000);
        });
    });

    test('a host resize keeps everything inside and scales the knobs', async () => {
        await withEditor({}, async (editor) => {
            const widths = [];
            for (const [w, h] of [[400, 300], [640, 480], [1280, 960], [1000, 400], [500, 700]]) {
                await editor.page.setViewportSize({ width: w, height: h });
                const m = await measure(editor.page);
                assertFits(m, `${w}x${h}`);
                widths.push((await editor.knob(0).boundingBox()).width);
            }
            assert.ok(widths[2] > widths[0] * 1.5, `knob widths ${widths}`);
            await editor.page.screenshot({ path: path.join(ARTIFACTS, 'editor-500x700.png') });
        });
    });
});

describe('self-contained', () => {
    test('loading fetches nothing but the page itself', async () => {
        await withEditor({}, async (editor) => {
            await editor.page.waitForLoadState('networkidle');
            assert.deepEqual(editor.requests, [PAGE_URL]);
        });
    });
});

describe('accessibility', () => {
    test('three sliders named by their titles, with range and value', async () => {
        await withEditor({}, async (editor) => {
            const found = [];
            for (const name of TITLES) {
                const slider = editor.page.getByRole('slider', { name, exact: true });
                assert.equal(await slider.count(), 1, name);
                found.push([
                    await slider.getAttribute('aria-valuemin'),
                    await slider.getAttribute('aria-valuemax'),
                    await slider.getAttribute('aria-valuenow'),
                ]);
                const title = editor.page.getByText(name, { exact: true });
                assert.equal(await title.isVisible(), true, name);
            }
            assert.deepEqual(found, [['0', '15', '15'], ['0', '15', '0'], ['0', '15', '7']]);
            const meter = editor.page.getByRole('meter', { name: 'Modulated Cutoff' });
            assert.deepEqual(
                [
                    await meter.getAttribute('aria-valuemin'),
                    await meter.getAttribute('aria-valuemax'),
                ],
                ['0', '255'],
            );
        });
    });

    test('keyboard focus is visible', async () => {
        await withEditor({}, async (editor) => {
            const active = (read) => editor.page.evaluate(read);
            const ring = () => active(() => getComputedStyle(document.activeElement).boxShadow);
            const unfocused = await editor.knob(1).evaluate((e) => getComputedStyle(e).boxShadow);
            await editor.page.keyboard.press('Tab');
            await editor.page.keyboard.press('Tab');
            const labelledBy = () => document.activeElement.getAttribute('aria-labelledby');
            assert.equal(await active(labelledBy), 'title-1');
            assert.notEqual(await ring(), unfocused);
            assert.notEqual(await ring(), 'none');
        });
    });
});

describe('opened in a plain browser', () => {
    test('it renders and the controls work without sending', async () => {
        await withEditor({ withHost: false }, async (editor) => {
            const webview = () => window.chrome && window.chrome.webview;
            assert.equal(await editor.page.evaluate(webview), undefined);
            assertFits(await measure(editor.page), 'demo');
            await editor.knob(0).focus();
            await editor.page.keyboard.press('Home');
            assert.equal(await editor.value(0), 0);
            await editor.drag(2, 0, -16);
            assert.equal(await editor.value(2), 9);
            // Nothing modulates without the plug-in: the display shows the base cutoff 0 * 16 + 8.
            assert.deepEqual(await editor.modValue(), { now: 8, text: 8 });
            assert.equal(await editor.page.locator('#status').textContent(), 'Demo');
        });
    });
});
