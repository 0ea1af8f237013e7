-- README.md's parts for players (between "<!-- players -->" and "<!-- /players -->") as the
-- zip's README.txt, through pandoc -f gfm -t plain: the version after the title, and each table
-- row as its first cell over the others under their column names, since a table's rows run far
-- wider than a plain-text window.
local function marker(block, name)
  return block.t == 'RawBlock' and block.text:match('^<!%-%- ' .. name .. ' %-%->')
end

local function cells(row)
  local texts = {}
  for _, cell in ipairs(row.cells) do
    texts[#texts + 1] = pandoc.utils.blocks_to_inlines(cell.contents)
  end
  return texts
end

local function rows_as_list(table)
  local names = cells(table.head.rows[1])
  local items = {}
  for _, body in ipairs(table.bodies) do
    for _, row in ipairs(body.body) do
      local texts = cells(row)
      local lines = {}
      for i = 2, #texts do
        local label = names[i] .. {pandoc.Str(':'), pandoc.Space()}
        lines[#lines + 1] = {pandoc.Plain(label .. texts[i])}
      end
      items[#items + 1] = {texts[1], lines}
    end
  end
  return pandoc.DefinitionList(items)
end

function Pandoc(doc)
  local kept, inside = {}, false
  for _, block in ipairs(doc.blocks) do
    if marker(block, 'players') then
      inside = true
    elseif marker(block, '/players') then
      inside = false
    elseif inside and block.t == 'Table' then
      kept[#kept + 1] = rows_as_list(block)
    elseif inside and block.t == 'Header' and block.level == 1 then
      block.content:insert(pandoc.Space())
      block.content:insert(pandoc.Str(pandoc.utils.stringify(doc.meta.version)))
      kept[#kept + 1] = block
    elseif inside then
      kept[#kept + 1] = block
    end
  end
  return pandoc.Pandoc(kept)
end
