// Logins in the browser on the golden tree of every object kind, with a
// PSW.TXT of two users: before a login every page leads to the login page;
// a login raises the user level that the pages show and opens the objects
// of higher levels; a logout ends it.
import { run, open, go, login, waitUntil, expect, base, newPage, inputValue } from './lib.mjs';

// The level the edit page shows, and whether its level-2 edit takes input.
async function editPage(page) {
  await open(page, 'EDIT.XML');
  return {
    level: await inputValue(page, '#INPUT3'),
    readonly: await page.evaluate(() => document.getElementById('INPUT2').readOnly),
  };
}

await run(async context => {
  const page = await newPage(context);
  await go(page, 'EDIT.XML');
  expect('without a login the edit page leads to', new URL(page.url()).pathname, '/LOGIN.XML');

  await login(page, 'op', 'wrong');
  expect('a wrong password stays on', new URL(page.url()).pathname, '/LOGIN.XML');
  expect('the login page names the user', await inputValue(page, '#user'), 'op');

  await login(page, 'op', 'op-pass');
  expect('a user without a start page lands on', new URL(page.url()).pathname, '/INDEX.XML');
  let edit = await editPage(page);
  expect('level of op', edit.level, '1');
  expect('the level-2 edit is read-only for op', edit.readonly, true);

  await go(page, 'LOGOUT.XML');
  await go(page, 'EDIT.XML');
  expect('after the logout the edit page leads to', new URL(page.url()).pathname, '/LOGIN.XML');

  await login(page, 'chief', 'Chief#7');
  expect('chief lands on the start page', new URL(page.url()).pathname, '/EDIT.XML');
  edit = await editPage(page);
  expect('level of chief', edit.level, '3');
  expect('the level-2 edit takes input for chief', edit.readonly, false);
  // The page's script keeps its data requests coming with the session.
  await waitUntil('the data requests of the logged-in page answered', async () => {
    const log = await (await fetch(base + '~control/log')).text();
    return /GET \/EDIT\.XML 200\n(.|\n)*GET \/EDIT\.XML 200\n$/.test(log) || log.split('\n').slice(-3).join(' | ');
  }, 4000);

  await go(page, 'LOGOUT.XML');
  await go(page, 'EDIT.XML');
  expect('after the second logout', new URL(page.url()).pathname, '/LOGIN.XML');
});
