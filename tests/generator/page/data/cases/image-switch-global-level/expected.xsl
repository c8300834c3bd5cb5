<?xml version="1.0" encoding="UTF-8" ?>
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
	<xsl:output method="html" encoding="UTF-8" />
	<xsl:template match="/PAGE">
		<html>
			<head>
				<meta name="viewport" content="width=device-width" />
				<meta name="author" content="" />
				<title>page</title>
			</head>
			<body onload="GetXML('PAGE1.XML'); FunWatchDog();">
				<xsl:if test="1700000000 != ACCESS/@UCID">
					<p>The page changed: reload it.</p>
				</xsl:if>
				<xsl:if test="1700000000 = ACCESS/@UCID">
					<table>
						<tr>
							<!--logo-->
							<td id="logo">logo</td>
							<!--title-->
							<td id="title">
								<span>title</span>
							</td>
						</tr>
						<tr>
							<!--plan-->
							<td id="plan">
								<div style="background-color:#FFFFFF; position: relative; width: 800px; height: 500px;">
									<form action="javascript:PostGlobal();">
										<xsl:if test="3 &lt;= ACCESS/@USER_LEVEL">
											<xsl:if test="INPUT[1]/@VALUE = 0">
												<input id="INPUT1h" type="hidden" name="{INPUT[1]/@NAME}" value="1" />
												<div id="INPUT1" class="imgsub" onclick="PostXML1()" style="position: absolute; top: 8px; left: 8px; z-index: 1; background-image: url(IMAGES/OFF.PNG); line-height: 20px; height: 20px; width: 30px;">Off</div>
											</xsl:if>
											<xsl:if test="INPUT[1]/@VALUE != 0">
												<input id="INPUT1h" type="hidden" name="{INPUT[1]/@NAME}" value="0" />
												<div id="INPUT1" class="imgsub" onclick="PostXML1()" style="position: absolute; top: 8px; left: 8px; z-index: 1; background-image: url(IMAGES/ON.PNG); line-height: 20px; height: 20px; width: 30px;">On</div>
											</xsl:if>
										</xsl:if>
										<xsl:if test="3 &gt; ACCESS/@USER_LEVEL">
											<xsl:if test="INPUT[1]/@VALUE = 0">
												<div id="INPUT1" style="position: absolute; top: 8px; left: 8px; z-index: 1; background-image: url(IMAGES/OFF.PNG); line-height: 20px; height: 20px; width: 30px;">Off</div>
											</xsl:if>
											<xsl:if test="INPUT[1]/@VALUE != 0">
												<div id="INPUT1" style="position: absolute; top: 8px; left: 8px; z-index: 1; background-image: url(IMAGES/ON.PNG); line-height: 20px; height: 20px; width: 30px;">On</div>
											</xsl:if>
										</xsl:if>
									</form>
								</div>
							</td>
						</tr>
						<tr>
							<!--bottom-->
							<td id="foot">
								<span>foot</span>
							</td>
						</tr>
					</table>
				</xsl:if>
			</body>
		</html>
	</xsl:template>
</xsl:stylesheet>
