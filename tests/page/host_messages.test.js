'use strict';
// What the page asks for on start and how it shows the plug-in's value messages.
const { test, describe } = require('node:test');
const assert = require('node:assert/strict');
const { editorPerTest, bits, valueMessage } = require('./harness');

let editor;
editorPerTest((e) => {
    editor = e;
});

async function snapshot() {
    return {
        values: [await editor.value(0), await editor.value(1), await editor.value(2)],
        shown: [await editor.shownValue(0), await editor.shownValue(1), await editor.shownValue(2)],
        mod: await editor.modValue(),
    };
}

describe('start', () => {
    test('the page asks for every value once, and nothing else', async () => {
        assert.deepEqual(await editor.takeSent(), ['g']);
    });

    test('before any answer it shows the defaults', async () => {
        assert.deepEqual(await snapshot(), {
            values: [15, 0, 7],
            shown: [15, 0, 7],
            mod: { now: 248, text: 248 },
        });
    });
});

describe('value messages', () => {
    test('the answer to "g" sets every control and the modulated cutoff', async () => {
        await editor.host(
            valueMessage(0, 4),
            valueMessage(1, 11),
            valueMessage(2, 2),
            valueMessage(3, 72),
        );
        assert.deepEqual(await snapshot(), {
            values: [4, 11, 2],
            shown: [4, 11, 2],
            mod: { now: 72, text: 72 },
        });
    });

    test('the cutoff marker in the display follows the cutoff', async () => {
        const marker = editor.page.locator('#base-marker');
        const at = async () => Number(await marker.getAttribute('x1'));
        assert.ok(Math.abs((await at()) - (248 / 255) * 1000) < 0.01);
        await editor.host(valueMessage(0, 0));
        assert.ok(Math.abs((await at()) - (8 / 255) * 1000) < 0.01);
        assert.deepEqual(await editor.modValue(), { now: 248, text: 248 }, 'no host value for it');
    });

    test('the exact form of the plug-in is read: slot 2 at 7.0 and slot 0 at 15.0', async () => {
        await editor.host('s 00000002 40a00000', 's 00000000 41000000');
        assert.deepEqual((await snapshot()).values, [8, 0, 5]);
        await editor.host('s 00000002 40e00000', 's 00000000 41700000');
        assert.deepEqual((await snapshot()).values, [15, 0, 7]);
    });

    test('the modulated cutoff follows a stream of values over its whole range', async () => {
        for (const v of [0, 1, 128, 254, 255, 8]) {
            await editor.host(valueMessage(3, v));
            assert.deepEqual(await editor.modValue(), { now: v, text: v });
        }
    });

    test('the modulated cutoff display moves with the value', async () => {
        const band = editor.page.locator('#band');
        await editor.host(valueMessage(3, 0));
        const low = await band.getAttribute('transform');
        await editor.host(valueMessage(3, 200));
        const high = await band.getAttribute('transform');
        assert.notEqual(low, high);
        const fill = editor.page.locator('#mod-fill');
        const width = async () => (await fill.boundingBox()).width;
        await editor.host(valueMessage(3, 51));
        const fifth = await width();
        await editor.host(valueMessage(3, 255));
        const full = await width();
        assert.ok(Math.abs(fifth * 5 - full) < 2, `meter widths ${fifth} and ${full}`);
    });

    test('values off the grid are rounded half away from zero and clamped', async () => {
        await editor.host(
            valueMessage(0, 7.5),
            valueMessage(1, 7.4999),
            valueMessage(2, -3),
            valueMessage(3, 300),
        );
        assert.deepEqual(await snapshot(), {
            values: [8, 7, 0],
            shown: [8, 7, 0],
            mod: { now: 255, text: 255 },
        });
        await editor.host(`s 00000000 ${bits(Infinity)}`, `s 00000001 ${bits(-0)}`);
        assert.deepEqual((await snapshot()).values, [15, 0, 0]);
    });

    test('a later edit starts from the value the plug-in sent', async () => {
        await editor.takeSent();
        await editor.host(valueMessage(1, 9));
        await editor.knob(1).focus();
        await editor.page.keyboard.press('ArrowUp');
        assert.deepEqual(await editor.takeSent(), [
            `b 1 ${bits(9)}`,
            `s 1 ${bits(10)}`,
            `e 1 ${bits(10)}`,
        ]);
    });
});

describe('malformed and unknown messages', () => {
    const ignored = [
        '',
        'x',
        'g',
        'm hello',
        'm s 00000000 40000000',
        'S 00000000 40000000',
        's 00000000 4000000',
        's 0000000 40000000',
        's 0 40000000',
        's 00000000 40000000 ',
        ' s 00000000 40000000',
        's  00000000 40000000',
        's\t00000000 40000000',
        's 00000000 4000000g',
        's 00000000 40A00000',
        's 00000004 40000000',
        's ffffffff 40000000',
        's 00000000 7fc00000',
        's 00000003 ffc00000',
        'b 0 40000000',
        'e 00000000 40000000',
        's 00000000 40000000\n',
    ];

    test('change no value and send nothing', async () => {
        await editor.takeSent();
        const before = await snapshot();
        await editor.host(...ignored);
        await editor.page.evaluate(() => {
            const notText = [null, undefined, 42, { a: 1 }, ['s 00000000 40000000']];
            for (const data of notText) window.__host(data);
        });
        assert.deepEqual(await snapshot(), before);
        assert.deepEqual(await editor.takeSent(), []);
        // The channel still works after all of them.
        await editor.host(valueMessage(0, 2));
        assert.equal(await editor.value(0), 2);
    });
});
