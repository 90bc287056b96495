'use strict';
// Edits made on the page reach the plug-in as b / s... / e gestures with exact float bits.
const { test, describe, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const { editorPerTest, bits, valueMessage, gesture, range } = require('./harness');

const CONTROLS = [
    { slot: 0, title: 'Cutoff', def: 15 },
    { slot: 1, title: 'LFO Amount', def: 0 },
    { slot: 2, title: 'LFO Speed', def: 7 },
];

let editor;
editorPerTest((e) => {
    editor = e;
});
beforeEach(async () => {
    assert.deepEqual(await editor.takeSent(), ['g']);
});

describe('dragging a knob', () => {
    for (const c of CONTROLS) {
        test(`${c.title}: down to 0 sends every step, then up to 15`, async () => {
            await editor.drag(c.slot, 0, 400);
            const down = c.def === 0 ? [] : gesture(c.slot, c.def, range(c.def - 1, 0));
            assert.deepEqual(await editor.takeSent(), down);
            assert.equal(await editor.value(c.slot), 0);

            await editor.drag(c.slot, 0, -400);
            assert.deepEqual(await editor.takeSent(), gesture(c.slot, 0, range(1, 15)));
            assert.equal(await editor.value(c.slot), 15);
            assert.equal(await editor.shownValue(c.slot), 15);
        });
    }

    test('values travel as their float bits', async () => {
        assert.equal(bits(15), '41700000');
        assert.equal(bits(7), '40e00000');
        await editor.drag(2, 0, -12);
        assert.deepEqual(await editor.takeSent(), ['b 2 40e00000', 's 2 41000000', 'e 2 41000000']);
    });

    test('moving right raises the value like moving up', async () => {
        await editor.drag(2, 20, 0);
        assert.deepEqual(await editor.takeSent(), gesture(2, 7, [8, 9]));
    });

    test('a drag that returns to its start still ends with the value reached', async () => {
        const at = await editor.pressAndMove(0, 0, 40);
        await editor.page.mouse.move(at.x, at.y - 40, { steps: 20 });
        await editor.page.mouse.up();
        const path = [14, 13, 12, 11, 10, 11, 12, 13, 14, 15];
        assert.deepEqual(await editor.takeSent(), gesture(0, 15, path));
        assert.equal(await editor.value(0), 15);
    });

    test('a press without movement sends nothing', async () => {
        await editor.drag(1, 0, 0);
        assert.deepEqual(await editor.takeSent(), []);
    });

    test('the other controls keep their values', async () => {
        await editor.drag(1, 0, -40);
        assert.deepEqual([await editor.value(0), await editor.value(2)], [15, 7]);
    });
});

describe('keyboard', () => {
    test('each arrow key is one complete gesture', async () => {
        await editor.knob(2).focus();
        await editor.page.keyboard.press('ArrowUp');
        await editor.page.keyboard.press('ArrowRight');
        await editor.page.keyboard.press('ArrowDown');
        await editor.page.keyboard.press('ArrowLeft');
        await editor.page.keyboard.press('ArrowLeft');
        assert.deepEqual(await editor.takeSent(), [
            ...gesture(2, 7, [8]),
            ...gesture(2, 8, [9]),
            ...gesture(2, 9, [8]),
            ...gesture(2, 8, [7]),
            ...gesture(2, 7, [6]),
        ]);
        assert.equal(await editor.value(2), 6);
    });

    test('Home and End jump to the ends, Page keys move four steps', async () => {
        await editor.knob(0).focus();
        await editor.page.keyboard.press('Home');
        await editor.page.keyboard.press('PageUp');
        await editor.page.keyboard.press('End');
        await editor.page.keyboard.press('PageDown');
        assert.deepEqual(await editor.takeSent(), [
            ...gesture(0, 15, [0]),
            ...gesture(0, 0, [4]),
            ...gesture(0, 4, [15]),
            ...gesture(0, 15, [11]),
        ]);
    });

    test('a key at the end of the range sends nothing', async () => {
        await editor.knob(0).focus();
        await editor.page.keyboard.press('ArrowUp');
        await editor.page.keyboard.press('End');
        await editor.knob(1).focus();
        await editor.page.keyboard.press('ArrowDown');
        await editor.page.keyboard.press('Home');
        await editor.page.keyboard.press('a');
        assert.deepEqual(await editor.takeSent(), []);
    });

    test('Tab moves focus through the three controls in order', async () => {
        const names = [];
        for (let i = 0; i < 3; i++) {
            await editor.page.keyboard.press('Tab');
            names.push(await editor.page.evaluate(() => document.activeElement.dataset.slot));
        }
        assert.deepEqual(names, ['0', '1', '2']);
    });
});

describe('mouse wheel', () => {
    test('each notch is one complete gesture, up raises', async () => {
        const c = await editor.centre(1);
        await editor.page.mouse.move(c.x, c.y);
        await editor.page.mouse.wheel(0, -100);
        await editor.page.mouse.wheel(0, -100);
        await editor.page.mouse.wheel(0, 100);
        assert.deepEqual(await editor.takeSent(), [
            ...gesture(1, 0, [1]),
            ...gesture(1, 1, [2]),
            ...gesture(1, 2, [1]),
        ]);
    });

    test('small wheel deltas add up to one step', async () => {
        const c = await editor.centre(2);
        await editor.page.mouse.move(c.x, c.y);
        for (let i = 0; i < 3; i++) await editor.page.mouse.wheel(0, 15);
        assert.deepEqual(await editor.takeSent(), gesture(2, 7, [6]));
    });

    test('the wheel does not scroll the page', async () => {
        const c = await editor.centre(0);
        await editor.page.mouse.move(c.x, c.y);
        await editor.page.mouse.wheel(0, 300);
        assert.equal(await editor.page.evaluate(() => window.scrollY), 0);
    });
});

describe('double-click', () => {
    for (const c of CONTROLS) {
        test(`${c.title}: resets to ${c.def} as one gesture`, async () => {
            const away = c.def === 0 ? 9 : 3;
            await editor.host(valueMessage(c.slot, away));
            const p = await editor.centre(c.slot);
            await editor.page.mouse.dblclick(p.x, p.y);
            assert.deepEqual(await editor.takeSent(), gesture(c.slot, away, [c.def]));
            assert.equal(await editor.value(c.slot), c.def);
        });
    }

    test('at the default it sends nothing', async () => {
        const p = await editor.centre(2);
        await editor.page.mouse.dblclick(p.x, p.y);
        assert.deepEqual(await editor.takeSent(), []);
    });
});

describe('host values around a gesture', () => {
    test('echoes during a drag do not move the knob', async () => {
        const at = await editor.pressAndMove(0, 0, 40);
        assert.equal(await editor.value(0), 10);
        await editor.host(valueMessage(0, 12), valueMessage(0, 15), valueMessage(0, 11));
        assert.equal(await editor.value(0), 10);
        await editor.page.mouse.move(at.x, at.y + 8);
        await editor.page.mouse.up();
        assert.equal(await editor.value(0), 9);
        assert.deepEqual((await editor.takeSent()).slice(-2), [`s 0 ${bits(9)}`, `e 0 ${bits(9)}`]);
    });

    test('late echoes of earlier gesture values are ignored until the final one', async () => {
        await editor.drag(0, 0, 24);
        assert.equal(await editor.value(0), 12);
        await editor.host(valueMessage(0, 15), valueMessage(0, 14), valueMessage(0, 13));
        assert.equal(await editor.value(0), 12);
        await editor.host(valueMessage(0, 12));
        await editor.host(valueMessage(0, 14));
        assert.equal(await editor.value(0), 14, 'after the final echo a host value applies');
    });

    test('late echoes of a run of key gestures are ignored', async () => {
        await editor.knob(2).focus();
        for (let i = 0; i < 3; i++) await editor.page.keyboard.press('ArrowUp');
        await editor.host(valueMessage(2, 8), valueMessage(2, 9));
        assert.equal(await editor.value(2), 10);
    });

    test('a value the gesture never sent applies at once', async () => {
        await editor.drag(0, 0, 24);
        await editor.host(valueMessage(0, 3));
        assert.equal(await editor.value(0), 3);
    });

    test('after the echo window an earlier value applies again', async () => {
        await editor.drag(1, 0, -24);
        assert.equal(await editor.value(1), 3);
        await new Promise((resolve) => setTimeout(resolve, 700));
        await editor.host(valueMessage(1, 1));
        assert.equal(await editor.value(1), 1);
    });

    test('a host value during a plain press applies on release', async () => {
        await editor.pressAndMove(2, 0, 0);
        await editor.host(valueMessage(2, 4));
        assert.equal(await editor.value(2), 7);
        await editor.page.mouse.up();
        assert.equal(await editor.value(2), 4);
        assert.deepEqual(await editor.takeSent(), []);
    });

    test('the modulated cutoff keeps updating during a drag', async () => {
        await editor.pressAndMove(0, 0, 16);
        await editor.host(valueMessage(3, 100));
        assert.deepEqual(await editor.modValue(), { now: 100, text: 100 });
        await editor.page.mouse.up();
    });
});
